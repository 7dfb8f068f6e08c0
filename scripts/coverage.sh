#!/usr/bin/env bash
# Line coverage of the test suite: builds with gcc's --coverage in build-cov/,
# runs every test and prints the lines covered per source folder (gcovr).
# Extra arguments go to ctest (e.g. -R skins to run some tests only).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --test
if [ ! -f build-cov/build.ninja ]; then
  cmake -S . -B build-cov -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_FLAGS="--coverage" \
    -DCMAKE_CXX_FLAGS="--coverage" -DCMAKE_EXE_LINKER_FLAGS="--coverage" >/dev/null
fi
cmake --build build-cov | { grep -v -e '^ninja: no work to do\.$' || true; } >&2
find build-cov -name '*.gcda' -delete
(cd build-cov && ctest -j2 --timeout 900 "$@" >&2) || echo "coverage: some tests failed" >&2
folders=(platform strings engine calculator datafiles conversions skins settings ui app)
filters=()
for f in "${folders[@]}"; do filters+=(--filter "$f/"); done
gcovr -r . build-cov "${filters[@]}" -o build-cov/coverage.txt
# Rows are "file lines executed percent missing"; a long file name wraps its numbers to the next line.
echo "Lines covered per folder:"
awk -v list="${folders[*]}" '
  BEGIN { n = split(list, order, " ") }
  /^[a-z]+\/[^ ]+/ { file = $1; if (NF >= 3) { row(file, $2, $3) } else pending = file; next }
  pending != "" && NF >= 2 { row(pending, $1, $2); pending = "" }
  function row(f, l, e) { split(f, part, "/"); lines[part[1]] += l; done[part[1]] += e }
  END { for (i = 1; i <= n; i++) { d = order[i]; if (lines[d])
          printf "  %-12s %5.1f %%  (%d of %d lines)\n", d "/", 100 * done[d] / lines[d], done[d], lines[d] } }
' build-cov/coverage.txt
echo "Per file: build-cov/coverage.txt"
