# xsession.sh, sourced by the scripts that drive the program under a private
# Xvfb (shots.sh, a11y-tree.sh): a private display, home and runtime folder,
# starting the program and waiting for its launcher, clicks inside the
# launcher. The sourcing script sets `program` first (and may set
# XSESSION_SCREEN, default 1280x800); `koru` is the running
# program's process, `lx ly` the launcher's corner, `work` a scratch folder.

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
  Xvfb ":$display" -screen 0 "${XSESSION_SCREEN:-1280x800}x24" -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do
    xdpyinfo -display ":$display" >/dev/null 2>&1 && break 2
    kill -0 "$xvfb" 2>/dev/null || break
    sleep 0.1
  done
  kill "$xvfb" 2>/dev/null || true
  xvfb=
done
[ -n "$xvfb" ] || { echo "$(basename "$0"): cannot start Xvfb" >&2; exit 1; }
export DISPLAY=":$display"
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

start() { # [FILE]: starts the program and waits until the launcher is mapped,
          # or, given a file, the editor that opens it (its caption names it)
  [ -n "$koru" ] && { kill "$koru" 2>/dev/null || true; wait "$koru" 2>/dev/null || true; }
  "$program" "$@" >>"$work/koru.log" 2>&1 &
  koru=$!
  for _ in $(seq 100); do
    if [ $# -gt 0 ]; then
      xdotool search --onlyvisible --pid "$koru" --name "$(basename "$1")" >/dev/null 2>&1 && return 0
    fi
    # The splash carries the same title: take the window of the launcher's size.
    for w in $(xdotool search --onlyvisible --pid "$koru" --name 'コントロールラジオ制御ソフト' 2>/dev/null); do
      [ $# -gt 0 ] && break
      WIDTH= HEIGHT=
      eval "$(xdotool getwindowgeometry --shell "$w" 2>/dev/null)" || continue
      if [ "$WIDTH" = 555 ] && [ "$HEIGHT" = 419 ]; then
        lx=$X ly=$Y
        return 0
      fi
    done
    sleep 0.1
  done
  echo "$(basename "$0"): ${1:+the editor of $1}${1:-the launcher} did not appear" >&2
  cat "$work/koru.log" >&2
  kill -0 "$xvfb" 2>/dev/null || { echo "$(basename "$0"): Xvfb :$display has gone:" >&2; cat "$work/xvfb.log" >&2; }
  exit 1
}

click() { # x y inside the launcher
  xdotool mousemove $((lx + $1)) $((ly + $2)) click 1
}

