#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test.
#   scripts/test.sh              normal build in build/
#   scripts/test.sh --sanitize   address/undefined/leak sanitizer build with
#                                clang in build-asan/, with the fuzz targets
# Neither build carries full debug information: configure a tree of your own
# with -DOVC_DEBUG_INFO=ON (the default) to debug. Both compile each target's
# sources in batches (CMake's unity build), which halves a build from scratch;
# a tree of your own, configured without it, checks that every source file
# compiles on its own.
# The tests that need PostgreSQL use the server OVC_TEST_POSTGRES_URI names;
# unset, a throwaway cluster in a fresh temporary folder serves them and is
# removed however the tests end (scripts/postgres.sh run).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

build_dir=build
cmake_options=(-DOVC_DEBUG_INFO=OFF -DOVC_WERROR=ON -DCMAKE_UNITY_BUILD=ON)
if [ "${1:-}" = "--sanitize" ]; then
  build_dir=build-asan
  cmake_options=(-DOVC_WERROR=ON -DOVC_SANITIZE=ON -DCMAKE_CXX_COMPILER=clang++-14
                 -DCMAKE_UNITY_BUILD=ON)
fi

cmake -S . -B "$build_dir" -G Ninja "${cmake_options[@]}" >/dev/null
ninja -C "$build_dir"
scripts/postgres.sh run ctest --test-dir "$build_dir" --output-on-failure -j2
