#!/usr/bin/env bash
# Installs what is missing, builds the Release tree and starts the program
# (arguments go to it: a document to open, e.g. examples/spiral.mwk).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build/release -DCMAKE_BUILD_TYPE=Release -DMARLWICK_BUILD_TESTS=OFF
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display to show the program on (DISPLAY is not set)." >&2
  echo "Start it from a desktop session, or on a virtual screen:" >&2
  echo "  xvfb-run -a -s '-screen 0 1280x1024x24' build/release/src/app/marlwick" >&2
  exit 1
fi
exec build/release/src/app/marlwick "$@"
