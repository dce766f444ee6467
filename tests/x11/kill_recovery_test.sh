#!/bin/sh
# Kills the real Quillan with SIGKILL after typing without saving, under a
# private X server, and checks that the next start recovers the typed text:
# the recovery question is answered with Return (Yes is the default), the
# text is saved with Ctrl+S and must then be in the chunk file.
#   kill_recovery_test.sh QUILLAN DEMO_FOLDER
# Exits 77 (skipped) when Xvfb or xdotool is missing.
set -u
quillan=$1
demo=$2
for tool in Xvfb xdotool; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "skipped: $tool is not installed (scripts/setup.sh installs it)"
    exit 77
  fi
done

work=$(mktemp -d)
display=":$((100 + $$ % 800))"
xvfb=""
app=""
cleanup() {
  [ -n "$app" ] && kill -9 "$app" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}

cp -R "$demo/." "$work/"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
export DISPLAY="$display" QT_QPA_PLATFORM=xcb
for i in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
xdotool getmouselocation >/dev/null 2>&1 || fail "the X server did not start"

# A visible window of the program whose name matches, waited for.
window() {
  for i in $(seq 300); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

cd "$work" || fail "no scratch folder"
"$quillan" x5DEMO.bin >"$work/first.log" 2>&1 &
app=$!
# A first start in a folder without a kanji database builds one after a
# notice; a folder that has one opens straight into the script.
if [ ! -f data/glyphary.db ]; then
  notice=$(window "^No Database found$") || fail "no database notice on the first start"
  xdotool windowfocus --sync "$notice"
  xdotool key Return
fi
main=$(window "x5DEMO.bin") || fail "the window did not appear"
sleep 0.5
xdotool windowfocus --sync "$main"
xdotool type --delay 60 "Qz7"
# The journal follows the last change within about 2 seconds (longer on a
# busy machine, whose timers run late).
for i in $(seq 150); do [ -f recovery/DEMO.journal ] && break; sleep 0.1; done
sleep 0.5
[ -f recovery/DEMO.journal ] || fail "no journal after typing: $(ls -R)"
kill -9 "$app"
wait "$app" 2>/dev/null
app=""
grep -q "Qz7" "Scripts/PATCHED INFO/DEMO/x5DEMO0.tk7" 2>/dev/null && fail "the text was saved without a save"

"$quillan" x5DEMO.bin >"$work/second.log" 2>&1 &
app=$!
question=$(window "^Recover$") || fail "no recovery question on the next start"
xdotool windowfocus --sync "$question"
xdotool key Return
main=$(window "x5DEMO.bin") || fail "the window did not come back"
sleep 0.5
xdotool windowfocus --sync "$main"
xdotool key ctrl+s
for i in $(seq 50); do
  tr -d '\000' <"Scripts/PATCHED INFO/DEMO/x5DEMO0.tk7" | grep -q "Qz7" && break
  sleep 0.1
done
tr -d '\000' <"Scripts/PATCHED INFO/DEMO/x5DEMO0.tk7" | grep -q "Qz7" || fail "the recovered text was not saved"
[ -f recovery/DEMO.journal ] && fail "the save left the journal behind"
echo "recovered and saved the typed text"
exit 0
