#!/usr/bin/env bash
# Sets up the machine, builds everything and runs the main job: the example
# script examples/quickstart.py through the Python module.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja >/dev/null
ninja -C build
PYTHONPATH="$PWD/build/python" /usr/bin/python3 examples/quickstart.py "$@"
