#!/usr/bin/env bash
# Builds the release into dist/: zarnpath-<version>-win64.zip, SHA256SUMS and
# the scoop manifest zarnpath.json and the winget manifests in winget/. One
# commit always gives the same bytes: the build time is the commit's time
# (SOURCE_DATE_EPOCH) and the zip's entries have fixed order, times and
# attributes. ZRN_RELEASE_BASE_URL sets where the manifests download the zip
# from; without it packaging stops, unless --placeholder-url asks for a
# package that is only checked (it then says so in a warning).
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS
: "${SOURCE_DATE_EPOCH:=$(git log -1 --format=%ct)}"
export SOURCE_DATE_EPOCH
bash scripts/setup.sh zarnpath
python3 scripts/make_package.py build dist "$@"
echo "Packaged in $((SECONDS - start)) s:"
cat dist/SHA256SUMS
