#!/usr/bin/env bash
# Builds the Debian package quillan_<version>_<arch>.deb in build/ and checks
# it: its control fields, the programs and files unpacked from it (with
# scripts/check-install.sh --tree), and lintian, which must report no error.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build
flags=()
if command -v ccache >/dev/null; then flags+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B "$build" -G Ninja "${flags[@]}"
cmake --build "$build"
(cd "$build" && cpack -G DEB)

version=$(sed -n 's/^project(Quillan VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb=$build/quillan_${version}_$(dpkg --print-architecture).deb
if [ ! -f "$deb" ]; then
  echo "package: $deb was not made" >&2
  exit 1
fi

dpkg-deb -I "$deb"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in genisoimage libc6 libqt6widgets6 libpng16-16 libpcre2-8-0 libgettextpo0; do
  if ! grep -Eq "(^|, )$needed( |,|$)" <<<"$depends"; then
    echo "package: Depends does not name $needed: $depends" >&2
    exit 1
  fi
done
description=$(dpkg-deb -f "$deb" Description)
if ! grep -q 'fan translators' <<<"$description"; then
  echo "package: the description is not the project's" >&2
  exit 1
fi

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
scripts/check-install.sh --tree "$unpacked"
(cd "$unpacked" && ./usr/bin/quillan-cli --help && ./usr/bin/quillan-cli info usr/share/quillan/demo/x5DEMO.bin)

# lintian's errors fail the step; its warnings are shown.
lintian --fail-on error --info "$deb"
echo "package: $deb"
