#!/usr/bin/env bash
# Sets up, builds and runs every test under Wine (null display driver, private prefix).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cd build
ctest --output-on-failure -j2
