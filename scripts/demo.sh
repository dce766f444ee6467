#!/usr/bin/env bash
# Builds Quillan and shows it at work on the bundled demo workspace: first
# what quillan-cli reads from the demo script, then the window itself with the
# script open.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target quillan-cli quillan
cli=build/src/cli/quillan-cli
demo=examples/demo
cd "$demo"
../../$cli info x5DEMO.bin
echo
../../$cli dump x5DEMO.bin | head -n 20
echo
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
  echo "demo: no display to show the window on; on a desktop run"
  echo "  cd $demo && ../../build/src/app/quillan x5DEMO.bin"
  exit 0
fi
exec ../../build/src/app/quillan x5DEMO.bin
