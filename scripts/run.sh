#!/usr/bin/env bash
# Sets up the machine, builds everything and runs the main job: `ovcbridge
# demo`, an AutoRun over the sample plant. It leaves the database and the
# files in build/bridge-round-trip, or in the folder given as the first
# argument, and says where.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
folder="$(realpath -m "${1:-$root/build/bridge-round-trip}")"
cd "$root"
scripts/setup.sh
cmake -S . -B build -G Ninja >/dev/null
ninja -C build
build/bin/ovcbridge demo "$folder"
echo "run: the database, the files and the files as the Bridge saved them are in $folder"
