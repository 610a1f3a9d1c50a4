#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test.
#   scripts/test.sh              normal build in build/
#   scripts/test.sh --sanitize   address/undefined/leak sanitizer build with
#                                clang in build-asan/, with the fuzz targets
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

build_dir=build
cmake_options=()
ctest_options=()
if [ "${1:-}" = "--sanitize" ]; then
  build_dir=build-asan
  cmake_options=(-DOVC_SANITIZE=ON -DOVC_BENCHMARKS=OFF
                 -DCMAKE_CXX_COMPILER=clang++-14)
  # The Python interpreter is not instrumented, so the Python tests run in
  # the normal build only.
  ctest_options=(-E '^python_tests$')
fi

cmake -S . -B "$build_dir" -G Ninja "${cmake_options[@]}" >/dev/null
ninja -C "$build_dir"
ctest --test-dir "$build_dir" --output-on-failure -j2 "${ctest_options[@]}"
