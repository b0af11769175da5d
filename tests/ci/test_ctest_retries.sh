#!/usr/bin/env bash
# scripts/test's CTest runs: a test that passes only on its second try is
# named, at once and in the summary; one that needs that in two stages, or
# fails both tries, fails the run. A small CMake project holds a steady, a
# flaky and a broken test.
#   test_ctest_retries.sh SOURCE_DIR
source "$(dirname "$0")/lib.sh" "$@"

mkdir -p "$WORK/project"
cat >"$WORK/project/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.16)
project(retries NONE)
enable_testing()
add_test(NAME steady COMMAND true)
# Fails while its marker is missing, and leaves the marker behind.
add_test(NAME flaky COMMAND sh -c "[ -f \"$ENV{MARKS}/flaky\" ] || { touch \"$ENV{MARKS}/flaky\"; exit 1; }")
if(DEFINED ENV{WITH_BROKEN})
  add_test(NAME broken COMMAND false)
endif()
CMAKE

# stage NAME [env...]: configures the project afresh and runs it as a stage.
stage() {
  local name="$1"
  shift
  rm -rf "$WORK/build" "$WORK/marks"
  mkdir -p "$WORK/marks"
  env MARKS="$WORK/marks" "$@" cmake -S "$WORK/project" -B "$WORK/build" >/dev/null || return 2
  MARKS="$WORK/marks" wyrle_ctest "$name" "$WORK/build" >>"$WORK/log" 2>&1
}

source "$SOURCE_DIR/scripts/retry.sh"
: >"$WORK/log"
stage plain || fail "a test that passed on its second try failed the stage"
grep -q "RETRIED (plain): flaky failed once and passed on its second try" "$WORK/log" ||
  fail "the retry was not named when it happened: $(cat "$WORK/log")"
summary="$(wyrle_retry_summary)" || fail "one retry failed the run"
grep -q "plain: flaky" <<<"$summary" || fail "the summary does not name the retried test: $summary"

# The same test needing a retry in a second stage fails the run.
stage sanitizers || fail "the second stage failed"
summary="$(wyrle_retry_summary)" && fail "a test retried in two stages passed the run"
grep -q "needed a retry twice in this run: flaky" <<<"$summary" || fail "no verdict naming the test: $summary"

# A test that fails both tries fails its stage.
WYRLE_RETRIED=()
stage broken WITH_BROKEN=1 && fail "a test failing both tries passed the stage"

WYRLE_RETRIED=()
[ "$(wyrle_retry_summary)" = "== no test needed a retry" ] || fail "a clean run's summary is not a single line"

[ "$failures" = 0 ] || exit 1
echo "ctest retries: named, counted across stages, and a second failure fails"
