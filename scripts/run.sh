#!/usr/bin/env bash
# Sets up the machine, builds everything and runs the main job: the example
# script examples/bridge_round_trip.py through the Python module. It leaves
# the database and the files it wrote in build/bridge-round-trip, or in the
# folder given as the first argument.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja >/dev/null
ninja -C build
PYTHONPATH="$PWD/build/python" /usr/bin/python3 examples/bridge_round_trip.py "$@"
