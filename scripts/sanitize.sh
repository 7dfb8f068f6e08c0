#!/usr/bin/env bash
# Builds everything with clang, AddressSanitizer (LeakSanitizer on) and
# UndefinedBehaviorSanitizer in build-asan/ and runs the whole test suite, the
# window tests included. Any sanitizer report, also one from a program a test
# starts, fails the run: reports go to files under build-asan/sanitizer-logs/,
# which must stay empty. Leak suppressions (tests/lsan.supp) name third-party
# libraries only.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/setup.sh --test
if [ ! -f build-asan/build.ninja ]; then
  CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_FLAGS_DEBUG="-O1 -g" -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DTALLIX_SANITIZE=ON >/dev/null
fi
logs=$root/build-asan/sanitizer-logs
rm -rf "$logs"
mkdir -p "$logs"
# The build runs our generators (skins, click), so they are checked too.
# intercept_tls_get_addr=0: the leak checker misreads the dynamic TLS of a
# module opened at run time (the image decoders, the window) under this glibc
# and crashes at exit ("Tracer caught signal 11"); without the interception
# it scans every other root as before.
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:check_initialization_order=1:intercept_tls_get_addr=0:log_path=$logs/asan"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$logs/ubsan"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
cmake --build build-asan -- "$@" |
  { grep -v -e '^ninja: no work to do\.$' -e '] Re-checking globbed directories\.\.\.$' || true; } >&2
status=0
(cd build-asan && ctest --output-on-failure -j2 --timeout 900) || status=$?
reports=$(find "$logs" -type f | sort)
if [ -n "$reports" ]; then
  for f in $reports; do
    echo "=== sanitizer report $f" >&2
    cat "$f" >&2
  done
  echo "sanitizer build: $(echo "$reports" | wc -l) report(s)" >&2
  exit 1
fi
if [ $status -ne 0 ]; then echo "sanitizer build: tests failed" >&2; exit $status; fi
echo "sanitizer build: every test passed, no sanitizer report" >&2
