#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test.
#   scripts/test.sh              normal build in build/
#   scripts/test.sh --sanitize   address/undefined/leak sanitizer build with
#                                clang in build-asan/, with the fuzz targets
# Neither build carries full debug information: configure a tree of your own
# with -DOVC_DEBUG_INFO=ON (the default) to debug.
# The tests that need PostgreSQL use the database OVC_TEST_POSTGRES_URI names;
# unset, a throwaway cluster (scripts/postgres.sh) in a fresh temporary folder
# serves them and is removed on every way out.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

build_dir=build
cmake_options=(-DOVC_DEBUG_INFO=OFF -DOVC_WERROR=ON)
if [ "${1:-}" = "--sanitize" ]; then
  build_dir=build-asan
  cmake_options=(-DOVC_WERROR=ON -DOVC_SANITIZE=ON -DCMAKE_CXX_COMPILER=clang++-14)
fi

cmake -S . -B "$build_dir" -G Ninja "${cmake_options[@]}" >/dev/null
ninja -C "$build_dir"

if [ -z "${OVC_TEST_POSTGRES_URI:-}" ]; then
  OVC_PG_DIR="$(mktemp -d "${TMPDIR:-/tmp}/ovc-test-postgres.XXXXXX")"
  export OVC_PG_DIR
  remove_cluster() {
    scripts/postgres.sh stop || true
    rm -rf "$OVC_PG_DIR"
  }
  trap remove_cluster EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  scripts/postgres.sh start
  OVC_TEST_POSTGRES_URI="$(scripts/postgres.sh uri)"
  export OVC_TEST_POSTGRES_URI OVC_TEST_POSTGRES_DIR="$OVC_PG_DIR"
fi
ctest --test-dir "$build_dir" --output-on-failure -j2
