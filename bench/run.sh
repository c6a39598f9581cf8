#!/usr/bin/env bash
# Installs what is missing and builds (scripts/setup.sh), then measures the
# index pass and the filter step against ripgrep and grep on generated data.
# ZRN_BUILD_DIR=<dir> skips the set-up and uses that build.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${ZRN_BUILD_DIR:-}" ]; then
  bash scripts/setup.sh
  export ZRN_BUILD_DIR="$PWD/build"
fi
exec python3 bench/run.py "$@"
