#!/usr/bin/env bash
# scripts/e2e-speeds runs only the end-to-end tests, each run at its own input
# speed; the busy run keeps them on cores 0 and 1 beside two busy loops that
# end with it; a failing run fails the whole but does not keep the others
# from running; a test retried in two runs fails the summary; the drags'
# lengths are summed up from the tests' log of both tries. A small CMake
# project holds stand-ins that write down what they ran with.
#   test_e2e_speeds.sh SOURCE_DIR
source "$(dirname "$0")/lib.sh" "$@"

mkdir -p "$WORK/project"
cat >"$WORK/project/probe.sh" <<'PROBE'
# The input speed, the cores allowed, and the busy loops beside the run.
cores="$(awk '/^Cpus_allowed_list/ { print $2 }' /proc/self/status)"
loops="$(ps --ppid "$RUN_SHELL" -o args= | grep -c 'while kill -0')"
echo "${WYRLE_E2E_INPUT-unset}|$cores|$loops" >>"$MARKS/$1"
echo "drag: 1210 ms on the clock (1200 ms asked), 40 moves"
echo "drag: 900 ms on the clock (at most 5000 ms asked), 30 moves"
PROBE
cat >"$WORK/project/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.16)
project(speeds NONE)
enable_testing()
add_test(NAME e2e_probe COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/probe.sh e2e)
add_test(NAME manual_screenshots COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/probe.sh manual)
add_test(NAME unit_probe COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/probe.sh unit)
if(DEFINED ENV{WITH_BROKEN})
  add_test(NAME e2e_broken COMMAND false)
endif()
# Fails on every first try and passes on the next.
if(DEFINED ENV{WITH_FLAKY})
  add_test(NAME e2e_flaky COMMAND sh -c "n=$(cat $ENV{MARKS}/tries 2>/dev/null || echo 0); echo $((n + 1)) >$ENV{MARKS}/tries; [ $((n % 2)) = 1 ]")
endif()
CMAKE

source "$SOURCE_DIR/scripts/retry.sh"
source "$SOURCE_DIR/scripts/e2e-speeds"
export MARKS="$WORK/marks" RUN_SHELL=$$
# configure [env...]: the project afresh, no marks yet.
configure() {
  rm -rf "$WORK/build" "$MARKS"
  mkdir -p "$MARKS"
  env "$@" cmake -S "$WORK/project" -B "$WORK/build" >/dev/null
}
all_cores="$(awk '/^Cpus_allowed_list/ { print $2 }' /proc/self/status)"
busy_cores=0-1
[ "$(nproc)" -ge 2 ] || busy_cores=0

configure
wyrle_e2e_speeds "$WORK/build" >"$WORK/log" 2>&1 || fail "the three runs failed: $(cat "$WORK/log")"
expected="slow|$all_cores|0
instant|$all_cores|0
|$busy_cores|2"
[ "$(cat "$MARKS/e2e")" = "$expected" ] || fail "the e2e test ran with $(cat "$MARKS/e2e"), not $expected"
[ "$(cat "$MARKS/manual")" = "$expected" ] || fail "manual_screenshots ran with $(cat "$MARKS/manual")"
[ ! -e "$MARKS/unit" ] || fail "a test that is not end-to-end ran"
[ "$(ps --ppid $$ -o args= | grep -c 'while kill -0')" = 0 ] || fail "the busy loops outlived the busy run"
grep -q "== e2e-busy: [0-9]* s; 2 drags of 1210 to 1210 ms, +10 to +10 ms from their asked length" "$WORK/log" ||
  fail "no sum of the drags after the busy run: $(cat "$WORK/log")"
[ -s "$WORK/build/Testing/Temporary/e2e-instant.log" ] || fail "the instant run's log was not kept"

configure WITH_BROKEN=1
wyrle_e2e_speeds "$WORK/build" >"$WORK/log" 2>&1 && fail "a test failing at every speed passed the runs"
[ "$(wc -l <"$MARKS/e2e")" = 3 ] || fail "a failing run kept the others from running: $(cat "$MARKS/e2e")"

# A test that passes only on its second try, in every run: each run passes,
# its log keeps the first try's output, and the summary fails the whole.
configure WITH_FLAKY=1
WYRLE_RETRIED=()
wyrle_e2e_speeds "$WORK/build" >"$WORK/log" 2>&1 || fail "a test passing on its second try failed a run"
grep -q "== e2e-slow: [0-9]* s; 2 drags" "$WORK/log" || fail "the retry lost the first try's log: $(cat "$WORK/log")"
summary="$(wyrle_retry_summary)" && fail "a test retried in all three runs passed the summary: $summary"
grep -q "needed a retry twice in this run: e2e_flaky" <<<"$summary" || fail "the summary does not name it: $summary"

# By hand: one speed, and a folder with no program in it.
configure
touch "$WORK/build/wyrle" && chmod +x "$WORK/build/wyrle"
bash "$SOURCE_DIR/scripts/e2e-speeds" "$WORK/build" instant >"$WORK/log" 2>&1 || fail "by hand: $(cat "$WORK/log")"
[ "$(cat "$MARKS/e2e")" = "instant|$all_cores|0" ] || fail "by hand, instant ran $(cat "$MARKS/e2e")"
bash "$SOURCE_DIR/scripts/e2e-speeds" "$WORK/project" >"$WORK/log" 2>&1
[ $? = 2 ] || fail "a folder with no program gave no usage error: $(cat "$WORK/log")"
bash "$SOURCE_DIR/scripts/e2e-speeds" "$WORK/build" fast >"$WORK/log" 2>&1 && fail "an unknown speed passed"

[ "$failures" = 0 ] || exit 1
echo "scripts/e2e-speeds: speeds, busy cores, failures and the drag sum as they should be"
