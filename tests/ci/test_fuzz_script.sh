#!/usr/bin/env bash
# scripts/fuzz decides from each target's exit status, reads figures from logs
# that other writers broke into, and counts a timeout only when the input is
# still too slow run alone. The targets here are small shell stand-ins that
# print what a libFuzzer run prints.
#   test_fuzz_script.sh SOURCE_DIR
source "$(dirname "$0")/lib.sh" "$@"

mkdir -p "$WORK/fuzz"
cat >"$WORK/fuzz/stand-in" <<'TARGET'
#!/usr/bin/env bash
prefix=""
inputs=()
for a in "$@"; do
  case "$a" in
    -artifact_prefix=*) prefix="${a#-artifact_prefix=}" ;;
    -*) ;;
    *) inputs+=("$a") ;;
  esac
done
# Run by hand on one kept input: the input says whether it is still slow.
if [ ${#inputs[@]} -eq 1 ] && [ -f "${inputs[0]}" ]; then
  grep -q always "${inputs[0]}" && { echo "==9== ERROR: libFuzzer: timeout after 10 seconds" >&2; exit 70; }
  echo "Executed ${inputs[0]} in 3100 ms"
  exit 0
fi
timeout_unit() {
  echo "$1" >"${prefix}timeout-abc123"
  printf '==9== ERROR: libFuzzer: timeout after 10 seconds\nartifact_prefix='"'"'%s'"'"'; Test unit written to %stimeout-abc123\n' "$prefix" "$prefix" >&2
  exit 70
}
case "$(basename "$0")" in
  fuzz_interleaved)
    printf '#64\tpulse  cov: 253 ft: 1347 corp: 41/4079b exec/s: 9 rss: 150Mb\n'
    printf 'OF_ERROR: ofI#5630\tDONE   cov: 347 ft: 1521 corp: 71/21Kb lim: 4096 exec/s: 187 rss: 300Mb\n' ;;
  fuzz_no_figures) printf 'OF_ERROR: ofImage::loadImage - cannot lo' ;;
  fuzz_slow_once) timeout_unit once ;;
  fuzz_slow_always) timeout_unit always ;;
  fuzz_crash)
    # The image loader's own messages come first, many of them.
    for i in $(seq 30); do echo "OF_ERROR: ofImage::loadImage - cannot load input$i.tga: the picture is 0 x 0 pixels"; done
    printf '==9==ERROR: AddressSanitizer: heap-buffer-overflow\nTest unit written to %scrash-1\n' "$prefix" >&2
    exit 77 ;;
esac
exit 0
TARGET
chmod +x "$WORK/fuzz/stand-in"
for t in fuzz_interleaved fuzz_no_figures fuzz_slow_once fuzz_slow_always fuzz_crash; do
  ln -s stand-in "$WORK/fuzz/$t"
done

# run EXPECTED_STATUS TARGET... ; leaves the output in $out
run() {
  local want="$1" got=0
  shift
  out="$(WYRLE_FUZZ_OUT="$WORK" WYRLE_FUZZ_PREBUILT=1 bash "$SOURCE_DIR/scripts/fuzz" 1 "$@" 2>&1)" || got=$?
  [ "$got" = "$want" ] || fail "scripts/fuzz $* exited $got, not $want; it printed:"$'\n'"$out"
}
expect() {
  grep -qE -- "$1" <<<"$out" || fail "no line matching '$1' in:"$'\n'"$out"
}

# Clean runs pass, figures read from an interleaved last line or none at all.
run 0 fuzz_interleaved fuzz_no_figures fuzz_slow_once
expect '^fuzz_interleaved +ok +\? runs +\? exec/s +cov +347 +ft +1521 +corpus 71/21Kb$'
expect '^fuzz_no_figures +ok +\(no figures\)$'
# A timeout that runs in time alone is not a finding; its input is kept.
expect "^fuzz_slow_once +ok .*ran in time alone; kept: $WORK/artifacts/fuzz_slow_once-timeout-abc123"
[ -f "$WORK/artifacts/fuzz_slow_once-timeout-abc123" ] || fail "the slow input was not kept"

# Still too slow alone, and a crash, are findings.
run 1 fuzz_slow_always fuzz_interleaved
expect "^fuzz_slow_always FAILED: an input is over 10s even alone; kept: $WORK/artifacts/fuzz_slow_always-timeout-abc123"
expect '^fuzz_interleaved +ok'
run 1 fuzz_crash
expect '^fuzz_crash FAILED \(exit 77\)'
expect 'heap-buffer-overflow'
expect "Test unit written to $WORK/artifacts/fuzz_crash-crash-1"

[ "$failures" = 0 ] || exit 1
echo "scripts/fuzz: exit statuses, broken logs and timeouts handled"
