#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset mingw32
cmake --build --preset mingw32
ctest --preset mingw32 "$@"
