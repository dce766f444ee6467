#!/usr/bin/env bash
# Checks an installed Quillan:
#   scripts/check-install.sh [--keep-source-names] BUILD   installs BUILD into a scratch prefix
#   scripts/check-install.sh --tree ROOT                   an unpacked package (ROOT/usr)
# The programs and their manual pages, the menu entries (desktop-file-validate)
# and their icons, the documents and the demo folder; then the installed
# programs are run on a copy of the installed demo, from a folder outside the
# source and build trees, and their constant data must name neither tree.
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
keep_source_names=0
build=""
root=""
while [ $# -gt 0 ]; do
  case "$1" in
    --keep-source-names) keep_source_names=1 ;;
    --tree) root=$(cd "$2" && pwd); shift ;;
    *) build=$(cd "$1" && pwd) ;;
  esac
  shift
done
if [ -z "$build" ] && [ -z "$root" ]; then
  echo "usage: check-install.sh [--keep-source-names] BUILD | --tree ROOT" >&2
  exit 2
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
  echo "check-install: $*" >&2
  failures=$((failures + 1))
}

version=$(sed -n 's/^project(Quillan VERSION \([0-9.]*\).*/\1/p' "$source_dir/CMakeLists.txt")
programs=(quillan-cli prefixer)
windows=()
if [ -n "$root" ]; then
  prefix=$root/usr
  windows=(quillan glyphary burnet)
else
  prefix=$scratch/usr
  cmake --install "$build" --prefix "$prefix" >"$scratch/install.log"
  for program in quillan glyphary burnet; do
    if [ -x "$build/src/app/$program" ] || [ -x "$build/tools/$program/$program" ]; then windows+=("$program"); fi
  done
fi
programs+=("${windows[@]}")

# The programs: each answers --version and --help without a display and has
# its manual page.
for program in "${programs[@]}"; do
  exe=$prefix/bin/$program
  if [ ! -x "$exe" ]; then
    fail "$exe is missing"
    continue
  fi
  answer=$(env -u DISPLAY -u WAYLAND_DISPLAY "$exe" --version) || fail "$program --version failed"
  [ "$answer" = "$program $version" ] || fail "$program --version says '$answer', not '$program $version'"
  help=$(env -u DISPLAY -u WAYLAND_DISPLAY "$exe" --help) || fail "$program --help failed"
  grep -q '^usage: ' <<<"$help" || fail "$program --help shows no usage"
  page=$prefix/share/man/man1/$program.1.gz
  gzip -t "$page" 2>/dev/null || fail "$page is missing"
done

# The menu entries and their icons.
for program in "${windows[@]}"; do
  entry=$prefix/share/applications/$program.desktop
  if [ ! -f "$entry" ]; then
    fail "$entry is missing"
    continue
  fi
  desktop-file-validate "$entry" || fail "$entry does not validate"
  exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
  [ -x "$prefix/bin/$exec_program" ] || fail "$entry starts $exec_program, which is not installed"
  grep -qx "Icon=$program" "$entry" || fail "$entry does not name the icon $program"
  for size in 16 22 24 32 48 64 128 256; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/$program.png
    kind=$(file -b "$icon" 2>/dev/null) || true
    grep -q "^PNG image data, $size x $size," <<<"$kind" || fail "$icon is not a $size x $size PNG"
  done
done

# The documents and the demo folder.
doc=$prefix/share/doc/quillan
for name in README.md copyright changelog.gz; do
  [ -s "$doc/$name" ] || fail "$doc/$name is missing"
done
if [ -s "$doc/changelog.gz" ]; then
  head=$(gzip -dc "$doc/changelog.gz" | head -n 1)
  case "$head" in
    "quillan ($version) "*) ;;
    *) fail "the changelog's newest entry is '$head', not version $version" ;;
  esac
fi
diff -r "$source_dir/examples/demo" "$prefix/share/quillan/demo" >"$scratch/demo.diff" ||
  fail "the installed demo differs from examples/demo: $(head -n 3 "$scratch/demo.diff")"

# The installed command line on a copy of the installed demo, away from both
# trees: the pictures of render are the ones compiled in.
work=$scratch/tk7-demo
cp -r "$prefix/share/quillan/demo" "$work"
(
  # (set -e does not hold in a subshell whose status is tested: each step says so itself.)
  cd "$work" || exit 1
  "$prefix/bin/quillan-cli" info x5DEMO.bin >"$scratch/info.txt" || exit 1
  grep -q '^page count: 3$' "$scratch/info.txt" || exit 1
  "$prefix/bin/quillan-cli" render x5DEMO.bin --line 1 -o "$scratch/line1.png" >/dev/null || exit 1
  kind=$(file -b "$scratch/line1.png") || exit 1
  grep -q '^PNG image data, 480 x 380,' <<<"$kind" || exit 1
  "$prefix/bin/quillan-cli" compress x5DEMO.bin >"$scratch/compress.txt" || exit 1
  grep -q '^output: ' "$scratch/compress.txt" || exit 1
  [ -s compress/X5DEMO.bin ] || exit 1
) || fail "the installed quillan-cli does not work on the installed demo"

# Nothing the programs carry names the trees they were built in.
if [ "$keep_source_names" = 0 ]; then
  trees=("$source_dir")
  if [ -n "$build" ]; then trees+=("$build"); fi
  for program in "${programs[@]}"; do
    exe=$prefix/bin/$program
    [ -x "$exe" ] || continue
    if ! objcopy -O binary --only-section=.rodata "$exe" "$scratch/rodata" 2>/dev/null; then
      fail "$exe is not a program objcopy can read"
      continue
    fi
    for tree in "${trees[@]}"; do
      if grep -qF "$tree" "$scratch/rodata"; then fail "$program names $tree in its constant data"; fi
    done
  done
fi

if [ "$failures" -gt 0 ]; then
  echo "check-install: $failures problem(s)" >&2
  exit 1
fi
echo "check-install: ${#programs[@]} programs, ${#windows[@]} menu entries, demo and documents in order"
