#!/usr/bin/env bash
# Builds the Debian package of Tallix (installed under /usr) in build-package/
# and checks it with lintian. Messages go to standard error; the last line of
# standard output is the path of the .deb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --package
out=build-package
cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DBUILD_TESTING=OFF -DTALLIX_BENCH=OFF >&2
ninja -C "$out" >&2
rm -f "$out"/tallix_*.deb
(cd "$out" && cpack -G DEB >&2)
deb=$(ls "$PWD/$out"/tallix_*.deb)
# Errors fail the build; warnings are shown.
lintian --fail-on error "$deb" >&2
echo "$deb"
