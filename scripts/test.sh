#!/usr/bin/env bash
# Builds Zarnpath and runs every test under Wine: the unit tests and the
# end-to-end groups, several at a time. The groups mostly wait for Wine, so
# more of them than cores run well; ZRN_TEST_JOBS sets how many.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cd build
ctest --output-on-failure -j "${ZRN_TEST_JOBS:-4}"
