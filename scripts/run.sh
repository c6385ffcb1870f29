#!/usr/bin/env bash
# The main job: builds everything and runs what exists of Velmora.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset release
cmake --build --preset release -j "$(nproc)"
