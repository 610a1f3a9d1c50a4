#!/usr/bin/env bash
# Fails, naming the places, when a tracked C++ file differs from what
# clang-format (with the repository's .clang-format) makes of it.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z '*.cpp' '*.h' '*.cc' '*.hpp' | xargs -0 clang-format --dry-run -Werror
