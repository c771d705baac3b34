#!/usr/bin/env bash
# Installs what is missing, builds the Release tree and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build/release -DCMAKE_BUILD_TYPE=Release -DMARLWICK_BUILD_TESTS=OFF
exec build/release/bench/marlwick_bench "$@"
