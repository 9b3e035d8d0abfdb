#!/usr/bin/env bash
# a11y-tree.sh BUILD_DIR: what a screen reader finds in each window. Starts
# the program under a private Xvfb with its own accessibility bus, opens the
# launcher's pages and every window as a pupil would (STEP2 with its first
# demo, opened as a file, and the preview from its menu; the virtual kit's
# window), and prints each window's elements with their role
# and name (tools/a11y_tree.py), marking any control without a name or that
# Tab cannot reach. Exit status 1 when a window has such a control.
# Needs xvfb, xdotool, at-spi2-core, python3-pyatspi and dbus.
set -euo pipefail
if [ -z "${KORU_A11Y_BUS:-}" ]; then
  # A session bus of its own, so that nothing of the desktop's is read.
  exec env KORU_A11Y_BUS=1 dbus-run-session -- "$0" "$@"
fi
build=$(cd "${1:?usage: a11y-tree.sh BUILD_DIR}" && pwd)
program="$build/bin/koru"
[ -x "$program" ] || { echo "a11y-tree: no program at $program" >&2; exit 1; }
lister=$(cd "$(dirname "$0")" && pwd)/a11y_tree.py

source "$(dirname "$0")/xsession.sh"

/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/bus.log" 2>&1 &
bus=$!
trap 'kill "$bus" 2>/dev/null || true; cleanup' EXIT
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
status=0

list() { # heading [window-name-part [application]]: prints what the bus shows
  sleep 1
  echo "=== $1"
  /usr/bin/python3 "$lister" "${3:-koru}" "${2:-}" || status=1
  echo
}

start
list "launcher, page 1"
click 280 180
list "launcher, page 2"
for target in STEP1:67:199 STEP3:282:199 メロディ:386:199 計測:492:199 設定:364:342; do
  IFS=: read -r name x y <<<"$target"
  start
  click 280 180
  click "$x" "$y"
  list "$name"
done
demo="$build/bin/Data/Demo/fro/demo1(フロー).koru"
if [ -f "$demo" ]; then
  start "$demo"
  list "STEP2, demo 1"
  /usr/bin/python3 "$lister" --press koru プレビュー || status=1
  list "preview" プレビュー
fi
if [ -x "$build/bin/koru-kit" ]; then
  "$build/bin/koru-kit" >>"$work/kit.log" 2>&1 &
  kit=$!
  trap 'kill "$kit" 2>/dev/null || true; kill "$bus" 2>/dev/null || true; cleanup' EXIT
  sleep 2
  list "virtual kit" 仮想キット koru-kit
fi
exit $status
