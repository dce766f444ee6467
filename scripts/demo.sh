#!/usr/bin/env bash
# Builds Quillan and shows it at work on the bundled demo workspace.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target quillan-cli
cli=build/src/cli/quillan-cli
demo=examples/demo
cd "$demo"
../../$cli info x5DEMO.bin
echo
../../$cli dump x5DEMO.bin | head -n 20
