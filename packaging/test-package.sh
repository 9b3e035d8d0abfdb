#!/usr/bin/env bash
# test-package.sh BUILD_DIR: builds the Debian package of BUILD_DIR into a
# temporary folder (never the build's own package/ folder, which `./dev
# package` uses) and checks it with check-package.sh. Exit 77 (skipped)
# without the Debian tools the package needs.
set -euo pipefail
build=${1:?usage: test-package.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
for tool in dpkg-deb dpkg-shlibdeps cpack; do
  if ! command -v "$tool" >/dev/null; then
    echo "test-package: $tool is not installed; skipped (./dev package installs it)"
    exit 77
  fi
done
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 || { cat "$out/cpack.log"; exit 1; }
deb=$(find "$out" -maxdepth 1 -name '*.deb' -print -quit)
[ -n "$deb" ] || { cat "$out/cpack.log"; echo "test-package: cpack made no .deb" >&2; exit 1; }
"$here/check-package.sh" "$deb"
