#!/usr/bin/env bash
# Builds Quillan and runs every test. With --sanitize the same suite is built
# with AddressSanitizer and UndefinedBehaviorSanitizer in its own folder.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build
flags=()
if [ "${1:-}" = "--sanitize" ]; then
  build=build-asan
  flags=(-DQUILLAN_SANITIZE=ON -DQUILLAN_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug)
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp"
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
if command -v ccache >/dev/null; then flags+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B "$build" -G Ninja "${flags[@]}"
cmake --build "$build"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j2
