#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test:
# the Release tree, then (unless MARLWICK_QUICK=1) the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, and the threading tests
# (label "threads") under ThreadSanitizer. The window tests of the program
# start their own virtual screen (xvfb-run), so no display is needed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)
scripts/build.sh build/release -DCMAKE_BUILD_TYPE=Release -DMARLWICK_WERROR=ON
ctest --test-dir build/release --output-on-failure --parallel "$jobs"

if [ "${MARLWICK_QUICK:-0}" != "1" ]; then
  scripts/build.sh build/asan -DCMAKE_BUILD_TYPE=Debug -DMARLWICK_WERROR=ON \
    -DMARLWICK_SANITIZE=address,undefined -DMARLWICK_BUILD_BENCH=OFF
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build/asan --output-on-failure --parallel "$jobs"

  # Only the threading tests need ThreadSanitizer: build just their programs.
  cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMARLWICK_WERROR=ON \
    -DMARLWICK_SANITIZE=thread -DMARLWICK_BUILD_BENCH=OFF
  cmake --build build/tsan --target marlwick_threads_tests marlwick_view_threads_tests marlwick_render_threads_tests --parallel "$jobs"
  TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build/tsan -L threads --output-on-failure
fi
