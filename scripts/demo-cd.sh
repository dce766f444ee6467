#!/usr/bin/env bash
# Builds quillan-cli and makes a disc image from a scratch copy of the demo
# working folder and the stand-in disc of examples/demo-disc (the repository
# stays as it is), then lists the image with isoinfo.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${QUILLAN_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target quillan-cli
cli=$PWD/$build/src/cli/quillan-cli
kit=$PWD/examples/demo-disc

work=$(mktemp -d "${TMPDIR:-/tmp}/quillan-demo-cd.XXXXXX")
cp -r examples/demo/. "$work/"
cp "$kit/tk72ip.bin" "$work/data/"
cp "$kit"/Patch/* "$work/Patch/"
# The image builder matches the sort file's names against the paths it reads,
# which lie in the working folder's temp/.
while read -r name weight; do
  printf '%s/temp/%s %s\n' "$work" "$name" "$weight"
done <"$kit/tk7-2.txt" >"$work/data/tk7-2.txt"

"$cli" make-cd --disc "$kit/disc" --workdir "$work"
echo
isoinfo -l -i "$work/TK7.ISO"
echo "The image, the audio track and the cue sheet are in $work"
