#!/usr/bin/env bash
# start-libraries.sh KORU: the libraries the program loads as it starts
# (ldd: its own and those they bring) hold none of the Qt modules that only
# one window needs. Charts, printing and sound are modules the windows load
# when first needed (widgets/loadedmodule.h); Qt Network only koru-kit links.
# Exit 0 when none is there, 1 naming those that are, 77 without ldd.
set -euo pipefail
program=${1:?usage: start-libraries.sh KORU}
command -v ldd >/dev/null || { echo "start-libraries: ldd is not installed"; exit 77; }
[ -x "$program" ] || { echo "start-libraries: $program is not a program" >&2; exit 1; }
libs=$(ldd "$program") || { echo "start-libraries: ldd $program failed" >&2; exit 1; }
# A listing without Qt Widgets would pass below and prove nothing.
grep -q 'libQt6Widgets\.so' <<<"$libs" || { echo "start-libraries: ldd lists no Qt6Widgets:" >&2; echo "$libs" >&2; exit 1; }
found=0
for module in Qt6Charts Qt6PrintSupport Qt6Multimedia Qt6Network; do
  if grep -q "lib$module\.so" <<<"$libs"; then
    echo "start-libraries: $(basename "$program") loads $module at start: $(grep "lib$module\.so" <<<"$libs" | xargs)" >&2
    found=1
  fi
done
[ "$found" = 0 ] && echo "start-libraries: $(basename "$program") starts without Qt6Charts, Qt6PrintSupport, Qt6Multimedia, Qt6Network"
exit "$found"
