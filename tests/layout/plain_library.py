#!/usr/bin/env python3
"""Keeps the plain library plain.

    plain_library.py flags BUILD_DIR SOURCE_DIR GUARD_DIR TARGET...
    plain_library.py probe BUILD_DIR SOURCE_DIR GUARD_DIR TARGET

flags: every source the build compiles for one of the targets (the plain
library and the tests of plain code) has no include folder but the tree's
top and the guard folder, the guard folder among them, and no definition of
the toolkit's.

probe: a file compiled as the target's first source is compiled fails when
it includes a header of wx, GTK, GL, GLEW, GLUT, X11 or FreeImage, and builds
when it includes only the standard library.

Both read BUILD_DIR/compile_commands.json and exit 1 with what they found.
"""

import json
import os
import re
import shlex
import subprocess
import sys
import tempfile

TOOLKIT_DEFINE = re.compile(r"WX|GTK|GLEW|GLUT|FREEIMAGE", re.IGNORECASE)
TOOLKIT_HEADERS = ["wx/string.h", "gtk/gtk.h", "GL/gl.h", "GL/glew.h", "GL/freeglut.h", "X11/Xlib.h", "FreeImage.h"]


def commands_of(build_dir, targets):
    """(target, entry, argv) for every compile of a target named."""
    with open(os.path.join(build_dir, "compile_commands.json")) as f:
        entries = json.load(f)
    out = []
    for e in entries:
        argv = e["arguments"] if "arguments" in e else shlex.split(e["command"])
        obj = argv[argv.index("-o") + 1] if "-o" in argv else ""
        m = re.search(r"CMakeFiles/([^/]+)\.dir/", obj)
        if m and m.group(1) in targets:
            out.append((m.group(1), e, argv))
    return out


def include_folders(argv):
    """The folders an argv adds to the include path, with the option's name."""
    found = []
    i = 0
    while i < len(argv):
        for opt in ("-isystem", "-iquote", "-idirafter", "-I"):
            if argv[i] == opt and i + 1 < len(argv):
                found.append((opt, argv[i + 1]))
                i += 1
                break
            if argv[i].startswith(opt):
                found.append((opt, argv[i][len(opt):]))
                break
        i += 1
    return found


def check_flags(build_dir, source_dir, guard_dir, targets):
    allowed = {os.path.realpath(source_dir), os.path.realpath(guard_dir)}
    problems = []
    seen = {t: 0 for t in targets}
    for target, e, argv in commands_of(build_dir, targets):
        seen[target] += 1
        name = os.path.relpath(e["file"], source_dir)
        folders = include_folders(argv)
        for opt, folder in folders:
            if os.path.realpath(os.path.join(e["directory"], folder)) not in allowed:
                problems.append(f"{target}: {name}: include folder {opt} {folder}")
        if not any(os.path.realpath(os.path.join(e["directory"], f)) == os.path.realpath(guard_dir)
                   for _, f in folders):
            problems.append(f"{target}: {name}: compiled without the guard folder {guard_dir}")
        for a in argv:
            if a.startswith("-D") and TOOLKIT_DEFINE.search(a.split("=")[0]):
                problems.append(f"{target}: {name}: toolkit definition {a}")
    for target, n in seen.items():
        if n == 0:
            problems.append(f"{target}: no source of it in compile_commands.json")
    return problems


def compile_probe(entry, argv, text):
    """Compiles `text` as `entry` is compiled; (ok, messages)."""
    with tempfile.TemporaryDirectory() as tmp:
        probe = os.path.join(tmp, "probe.cpp")
        with open(probe, "w") as f:
            f.write(text)
        args = []
        skip = False
        for i, a in enumerate(argv):
            if skip:
                skip = False
                continue
            if a in ("-o", "-c", "-MF", "-MT", "-MQ"):
                skip = True
                continue
            if a in ("-MD", "-MMD") or a == entry["file"] or os.path.realpath(
                    os.path.join(entry["directory"], a)) == os.path.realpath(entry["file"]):
                continue
            args.append(a)
        run = subprocess.run(args + ["-fsyntax-only", probe], cwd=entry["directory"],
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        return run.returncode == 0, run.stdout


def check_probe(build_dir, source_dir, guard_dir, target):
    found = commands_of(build_dir, {target})
    if not found:
        return [f"{target}: no source of it in compile_commands.json"]
    _, entry, argv = found[0]
    problems = []
    ok, messages = compile_probe(entry, argv, "#include <string>\nint probe() { return std::string(\"a\").size(); }\n")
    if not ok:
        return [f"{target}: a file with only <string> does not build as {entry['file']} is built:\n{messages}"]
    for header in TOOLKIT_HEADERS:
        ok, messages = compile_probe(entry, argv, f"#include <{header}>\n")
        if ok:
            problems.append(f"{target}: <{header}> builds in it")
        elif header not in messages:
            problems.append(f"{target}: <{header}> fails, but not for the header:\n{messages}")
    return problems


def main(argv):
    if len(argv) < 6 or argv[1] not in ("flags", "probe"):
        print(__doc__, file=sys.stderr)
        return 2
    mode, build_dir, source_dir, guard_dir, targets = argv[1], argv[2], argv[3], argv[4], argv[5:]
    if mode == "flags":
        problems = check_flags(build_dir, source_dir, guard_dir, set(targets))
    else:
        problems = check_probe(build_dir, source_dir, guard_dir, targets[0])
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
