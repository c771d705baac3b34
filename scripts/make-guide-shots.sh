#!/usr/bin/env bash
# Takes the pictures of docs/guide.md from the real program: builds the
# window-test program of the Release tree and runs its guide tour on a
# virtual screen, which drives the program as a new user does and keeps a
# whole-screen picture of every step in docs/guide/. Run it again whenever
# the program changes:
#   scripts/make-guide-shots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
scripts/install-deps.sh
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" --target marlwick_window_tests
shots=$(pwd)/docs/guide
mkdir -p "$shots"
data=$(mktemp -d /tmp/marlwick-guide-XXXXXX)
trap 'rm -rf "$data"' EXIT
# A user of its own (library, templates, recent files), the default window
# system integration, and the screen size the pictures are made for.
XDG_DATA_HOME=$data/data XDG_CONFIG_HOME=$data/config MARLWICK_SHOTS=$shots QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1280x800x24" "$build/tests/app/marlwick_window_tests" GuideTour
ls "$shots"
