#!/usr/bin/env bash
# Configures (once) and builds Tallix in build/ with Ninja. Extra arguments go
# to ninja. Everything it prints goes to standard error, and nothing at all
# when there is nothing to build.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build/build.ninja ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build build -- "$@" |
  { grep -v -e '^ninja: no work to do\.$' -e '] Re-checking globbed directories\.\.\.$' || true; } >&2
