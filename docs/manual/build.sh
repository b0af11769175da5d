#!/bin/sh
# Builds the manual: GROFF SOURCE OUTPUT PICTURES
# Every PNG screenshot in the folder PICTURES (it may be missing) goes in as a
# PDF picture, and the source is told which ones there are (the string
# pic-NAME for NAME.png), so it leaves out the figures whose screenshots were
# never taken: the manual builds on a machine without X.
set -eu
groff="$1" source="$2" output="$3" pictures="$4"
work="$output.pictures"
rm -rf "$work"
mkdir -p "$work"
set --
for png in "$pictures"/*.png; do
  [ -f "$png" ] || continue
  if ! command -v img2pdf >/dev/null; then
    echo "img2pdf is missing: the manual is built without its screenshots" >&2
    set --
    break
  fi
  name="$(basename "$png" .png)"
  img2pdf "$png" -o "$work/$name.pdf"
  set -- "$@" "-dpic-$name=$name.pdf"
done
# Picture inclusion asks groff for its unsafe mode (the picture's size is
# read with pdfinfo); without pictures the manual is built without it.
[ $# -eq 0 ] || set -- -U -mpdfpic "$@"
# gropdf finds the pictures by the names given, from the folder it runs in.
cd "$work"
"$groff" -ms -Tpdf -k -ww "$@" "$source" >"$output.tmp"
mv "$output.tmp" "$output"
