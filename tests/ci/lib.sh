# Shared by the tests of the CI scripts: a scratch folder, and failures
# counted so that every check runs. Argument of every test: SOURCE_DIR
set -u
SOURCE_DIR="$1"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
