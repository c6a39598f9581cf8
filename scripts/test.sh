#!/usr/bin/env bash
# Builds Zarnpath and runs every test: the unit tests and the end-to-end tests,
# all under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cd build
ctest --output-on-failure
