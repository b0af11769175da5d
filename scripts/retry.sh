# Sourced by test: runs CTest with one more try for the tests that failed,
# and never silently. Every test that passed only on its second try is
# named when it happens and again at the end; a test that needed it in two
# stages of one run fails the run.

WYRLE_RETRIED=()

# wyrle_ctest STAGE DIR [ctest args...]: runs the tests in DIR (under the
# command in the array WYRLE_CTEST_PREFIX, if set) and once more the ones that
# failed. Fails when a test fails twice.
wyrle_ctest() {
  local stage="$1" dir="$2"
  shift 2
  local prefix=("${WYRLE_CTEST_PREFIX[@]+"${WYRLE_CTEST_PREFIX[@]}"}")
  if (cd "$dir" && "${prefix[@]}" ctest --output-on-failure "$@"); then
    return 0
  fi
  local failed=() t
  mapfile -t failed < <(sed 's/^[0-9]*://' "$dir/Testing/Temporary/LastTestsFailed.log" 2>/dev/null)
  [ ${#failed[@]} -gt 0 ] || return 1
  echo "== $stage: running once more the tests that failed: ${failed[*]}"
  (cd "$dir" && "${prefix[@]}" ctest --output-on-failure --rerun-failed "$@") || return 1
  for t in "${failed[@]}"; do
    echo "RETRIED ($stage): $t failed once and passed on its second try"
    WYRLE_RETRIED+=("$stage $t")
  done
}

# Names every retried test; fails when one needed a retry in two stages.
wyrle_retry_summary() {
  if [ ${#WYRLE_RETRIED[@]} -eq 0 ]; then
    echo "== no test needed a retry"
    return 0
  fi
  echo "== tests that needed a retry: ${#WYRLE_RETRIED[@]}"
  local entry
  for entry in "${WYRLE_RETRIED[@]}"; do
    echo "   ${entry%% *}: ${entry#* }"
  done
  local twice
  twice="$(printf '%s\n' "${WYRLE_RETRIED[@]}" | cut -d' ' -f2- | sort | uniq -d)"
  if [ -n "$twice" ]; then
    echo "FAILED: needed a retry twice in this run: $(echo "$twice" | paste -sd' ')"
    return 1
  fi
}
