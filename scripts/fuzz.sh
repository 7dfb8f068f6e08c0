#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) in build-fuzz/ and
# runs one of them: scripts/fuzz.sh TARGET SECONDS. New interesting inputs go to
# a scratch corpus; crashes land in build-fuzz/artifacts/. Copy the few inputs
# worth keeping into tests/fuzz/corpus/TARGET/ so the ordinary test run replays them.
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?usage: scripts/fuzz.sh TARGET SECONDS}
seconds=${2:-600}
if [ ! -f build-fuzz/build.ninja ]; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLIX_FUZZ=ON >/dev/null
fi
cmake --build build-fuzz --target "$target"
mkdir -p "build-fuzz/corpus/$target" build-fuzz/artifacts "tests/fuzz/corpus/$target"
# The text formats have dictionaries of their words.
dict=()
case $target in
  engine_fuzz | calculator_fuzz) dict=(-dict=tests/fuzz/dict/expression.dict) ;;
  inistore_fuzz | skin_fuzz | registry_file_fuzz) dict=(-dict=tests/fuzz/dict/ini.dict) ;;
  conversions_fuzz) dict=(-dict=tests/fuzz/dict/rates.dict) ;;
esac
# Two frames of each allocation's stack, not thirty: recording them is a fifth
# of the skin target's time. Rerun a finding with full stacks to read it.
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=2}
exec "build-fuzz/fuzz/$target" "${dict[@]}" -max_total_time="$seconds" -artifact_prefix=build-fuzz/artifacts/ \
  "build-fuzz/corpus/$target" "tests/fuzz/corpus/$target"
