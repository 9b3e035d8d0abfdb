#!/usr/bin/env bash
# check-package.sh KORU.deb: what a school's machine will get, checked before
# it gets it. Unpacks the package into a temporary root and runs the programs
# from there (no build tree, no LD_LIBRARY_PATH), validates the desktop entry,
# the AppStream metadata and the MIME type, and runs lintian when installed
# (errors fail, warnings are shown). Exit 0 when every check passed.
set -euo pipefail
# No pipe ends in head or grep -q: under pipefail the writer, cut off when
# they stop reading, would fail the check at random (here-strings instead).
deb=${1:?usage: check-package.sh KORU.deb}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
failed=0
fail() { echo "check-package: $*" >&2; failed=1; }

dpkg-deb -x "$deb" "$root/fs"
fs=$root/fs

for f in usr/bin/koru usr/bin/koru-tool usr/bin/koru-kit \
         usr/lib/udev/rules.d/70-koru.rules usr/share/applications/koru.desktop \
         usr/share/metainfo/jp.koru.companion.metainfo.xml usr/share/mime/packages/koru.xml \
         usr/share/icons/hicolor/scalable/apps/koru.svg usr/share/icons/hicolor/48x48/apps/koru.png \
         usr/share/man/man1/koru.1.gz usr/share/man/man1/koru-tool.1.gz usr/share/man/man1/koru-kit.1.gz \
         usr/share/koru/Img usr/share/koru/Data usr/share/koru/HTML usr/share/koru/Stop.WAV \
         usr/share/doc/koru/copyright; do
  [ -e "$fs/$f" ] || fail "missing /$f"
done
# The modules the windows load when first needed: the melody window's
# loudspeaker, the measurement window's charts, the report's printing.
# Each must give the factory its loader resolves (the symbols are read
# whole first: grep -q ending a pipe early would fail it under pipefail).
for entry in koru-sound:KoruNewSoundPlayer koru-charts:KoruNewMeasureCharts koru-print:KoruNewPagePrinter; do
  module=${entry%%:*}
  so=$(find "$fs/usr/lib" -path "*/koru/$module.so" -print -quit 2>/dev/null)
  if [ -z "$so" ]; then
    fail "missing the module $module.so"
  elif ! grep -qw "${entry#*:}" <<<"$(readelf --dyn-syms -W "$so")"; then
    fail "$module.so does not give ${entry#*:}"
  fi
done

# The unpacked programs run and find their data: `text` reads the keyword
# file shipped in /usr/share/koru (a fresh user has no copy of their own).
home=$root/home
mkdir -p "$home"
run() { env -i PATH=/usr/bin:/bin HOME="$home" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home" "$@"; }
if out=$(run "$fs/usr/bin/koru-tool" --help 2>&1); then
  head -3 <<<"$out"
else
  fail "koru-tool --help failed: $out"
fi
run "$fs/usr/bin/koru-kit" --help >/dev/null 2>&1 || fail "koru-kit --help failed"
demo=$(find "$fs/usr/share/koru/Data/Demo/dd" -name '*.koru' | sort | sed -n 1p)
if [ -z "$demo" ]; then
  fail "no STEP1 demonstration program in /usr/share/koru/Data/Demo/dd"
elif out=$(run "$fs/usr/bin/koru-tool" text "$demo" 2>&1); then
  echo "koru-tool text ${demo#"$fs"}: $(wc -l <<<"$out") lines, first: $(head -1 <<<"$out")"
else
  fail "koru-tool text ${demo#"$fs"} failed: $out"
fi

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$fs/usr/share/applications/koru.desktop" || fail "desktop-file-validate"
else
  echo "check-package: desktop-file-validate not installed, skipped"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$fs/usr/share/metainfo/jp.koru.companion.metainfo.xml" || fail "appstreamcli validate"
else
  echo "check-package: appstreamcli not installed, skipped"
fi
if command -v update-mime-database >/dev/null; then
  mkdir -p "$root/mime/packages"
  cp "$fs/usr/share/mime/packages/koru.xml" "$root/mime/packages/"
  update-mime-database "$root/mime" >/dev/null 2>&1 || fail "update-mime-database"
  grep -q 'application/x-koru:\*\.koru' "$root/mime/globs2" || fail "*.koru is not application/x-koru"
fi
if command -v lintian >/dev/null; then
  # As root, lintian would warn about that rather than about the package.
  lintian --fail-on error --allow-root "$deb" || fail "lintian found errors"
else
  echo "check-package: lintian not installed, skipped"
fi
exit "$failed"
