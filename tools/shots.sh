#!/usr/bin/env bash
# shots.sh BUILD_DIR: starts the program under a private Xvfb, goes through
# the launcher and every window it opens, and saves screenshots in
# build/shots/ (beside BUILD_DIR). Needs xvfb, xdotool, imagemagick.
set -euo pipefail
build=$(cd "${1:?usage: shots.sh BUILD_DIR}" && pwd)
out=$(dirname "$build")/shots
mkdir -p "$out"
program="$build/bin/koru"
[ -x "$program" ] || { echo "shots: no program at $program" >&2; exit 1; }

source "$(dirname "$0")/xsession.sh"

shot() { # name: the whole screen, settled
  sleep 0.4
  import -window root "$out/$1.png"
  echo "shots: $out/$1.png"
}

start
shot launcher-page1
click 280 180 # banner of this program
shot launcher-page2
xdotool mousemove $((lx + 60)) $((ly + 200)) # hand cursor over STEP1 (not drawn by import)
for target in step1:67:199 step2:174:199 step3:282:199 melody:386:199 measure:492:199 settings:364:342; do
  IFS=: read -r name x y <<<"$target"
  start
  click 280 180
  click "$x" "$y"
  shot "open-$name"
done
start
xdotool mousemove $((lx + 200)) $((ly + 30)) mousedown 1 mousemove $((lx + 100)) $((ly - 60)) mouseup 1
shot launcher-dragged
start
click 505 29 # close button: the program ends
for _ in $(seq 30); do
  kill -0 "$koru" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$koru" 2>/dev/null; then
  echo "shots: the program did not end on its close button" >&2
  exit 1
fi
wait "$koru" 2>/dev/null || true
koru=
echo "shots: the close button ended the program"
