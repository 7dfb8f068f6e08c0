#!/usr/bin/env bash
# Installs what is missing (the test tools too), builds Tallix and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --test
# A build first configured without the test tools finds them now.
if [ -f build/build.ninja ]; then cmake -S . -B build >/dev/null; fi
bash scripts/build.sh
cd build && ctest --output-on-failure -j2 --timeout 600
