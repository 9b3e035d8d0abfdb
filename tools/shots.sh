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

# A private display and a private home, so nothing of the user's is touched.
work=$(mktemp -d)
xvfb=
koru=
cleanup() {
  [ -n "$koru" ] && kill "$koru" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
# A display number away from the ones xvfb-run -a hands out; -noreset, as
# the server would otherwise reset (and refuse connections) between programs.
for _ in $(seq 20); do
  display=$((100 + RANDOM % 400))
  [ -e "/tmp/.X$display-lock" ] && continue
  Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do
    xdpyinfo -display ":$display" >/dev/null 2>&1 && break 2
    kill -0 "$xvfb" 2>/dev/null || break
    sleep 0.1
  done
  kill "$xvfb" 2>/dev/null || true
  xvfb=
done
[ -n "$xvfb" ] || { echo "shots: cannot start Xvfb" >&2; exit 1; }
export DISPLAY=":$display"
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

shot() { # name: the whole screen, settled
  sleep 0.4
  import -window root "$out/$1.png"
  echo "shots: $out/$1.png"
}

start() { # starts the program and waits until the launcher is mapped
  [ -n "$koru" ] && { kill "$koru" 2>/dev/null || true; wait "$koru" 2>/dev/null || true; }
  "$program" >>"$work/koru.log" 2>&1 &
  koru=$!
  # The splash carries the same title: take the window of the launcher's size.
  for _ in $(seq 100); do
    for w in $(xdotool search --onlyvisible --pid "$koru" --name 'コントロールラジオ制御ソフト' 2>/dev/null); do
      WIDTH= HEIGHT=
      eval "$(xdotool getwindowgeometry --shell "$w" 2>/dev/null)" || continue
      if [ "$WIDTH" = 555 ] && [ "$HEIGHT" = 419 ]; then
        lx=$X ly=$Y
        return 0
      fi
    done
    sleep 0.1
  done
  echo "shots: the launcher did not appear" >&2
  cat "$work/koru.log" >&2
  kill -0 "$xvfb" 2>/dev/null || { echo "shots: Xvfb :$display has gone:" >&2; cat "$work/xvfb.log" >&2; }
  exit 1
}

click() { # x y inside the launcher
  xdotool mousemove $((lx + $1)) $((ly + $2)) click 1
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
