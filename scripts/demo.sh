#!/usr/bin/env bash
# Sets up, builds and runs the demo program against the simulated Hyper-V hosts. With a
# display it opens the window; without one it runs a guided tour of the demo under Xvfb
# (brackwin-tour.exe drives the window and pictures each step), saves the pictures as PNG
# files in build/screenshots and exits.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

export BRACKWIN_WINE_X11=1
run=cmake/wine-run.sh

if [ -n "${DISPLAY:-}" ] && [ -z "${BRACKWIN_HEADLESS:-}" ]; then
    export WINEPREFIX=$PWD/build/wineprefix-x11
    exec "$run" build/bin/brackwin-demo.exe
fi

# The tour's own prefix: with no window manager under Xvfb, Wine draws the window frames
# itself (Decorated=N), with the caption buttons from fonts-wine's Marlett.
export WINEPREFIX=$PWD/build/wineprefix-xvfb
shots=build/screenshots
rm -rf "$shots"
mkdir -p "$shots/bmp"
xvfb-run -a -s '-screen 0 1280x800x24' bash -c '
    set -euo pipefail
    "'"$run"'" reg add "HKCU\\Software\\Wine\\X11 Driver" /v Decorated /d N /f >/dev/null
    status=0
    "'"$run"'" build/bin/brackwin-tour.exe "'"$shots"'/bmp" || status=$?
    wineserver -k 2>/dev/null || true
    exit $status
'
for picture in "$shots"/bmp/*.bmp; do
    convert "$picture" "$shots/$(basename "${picture%.bmp}").png"
done
rm -rf "$shots/bmp"
echo "Screenshots of the tour are in $shots:"
ls "$shots"
