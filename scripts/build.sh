#!/usr/bin/env bash
# Configures and builds Tarvik, its stand-in terminal modules and its tests into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Debug}" >/dev/null
cmake --build build
