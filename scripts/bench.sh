#!/usr/bin/env bash
# Sets up and builds everything (scripts/setup.sh), then prints the benchmark's figures: how
# long the operations a user waits for take, one figure a line, under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
BRACKWIN_BUILD_DIR=$PWD/build cmake/wine-run.sh build/bin/brackwin-bench.exe
