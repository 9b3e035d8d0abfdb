#!/usr/bin/env bash
# shots.sh BUILD_DIR: screenshots of the preview's states under Xvfb, saved
# in build/shots/preview/ beside BUILD_DIR. Needs xvfb and imagemagick.
set -euo pipefail
build=$(cd "${1:?usage: shots.sh BUILD_DIR}" && pwd)
out=$(dirname "$build")/shots/preview
mkdir -p "$out"
for state in idle glow wait radio step1 stepping; do
  screen=1280x1024x24
  [ "$state" = stepping ] && screen=1920x1080x24 # the editor beside the preview
  xvfb-run -a -s "-screen 0 $screen" bash -c "
    '$build/bin/previewshots' $state & pid=\$!
    sleep 2.5
    import -window root '$out/$state.png'
    kill \$pid" 
  echo "shots: $out/$state.png"
done
