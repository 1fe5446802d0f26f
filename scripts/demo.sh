#!/usr/bin/env bash
# Sets up, builds and runs the demo program against the simulated Hyper-V hosts. With a
# display it opens the window; without one it runs under Xvfb, saves screenshots of the
# window in build/screenshots and exits.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

export WINEPREFIX=$PWD/build/wineprefix-x11
export BRACKWIN_WINE_X11=1
run=cmake/wine-run.sh

if [ -n "${DISPLAY:-}" ] && [ -z "${BRACKWIN_HEADLESS:-}" ]; then
    exec "$run" build/bin/brackwin-demo.exe
fi

mkdir -p build/screenshots
xvfb-run -a -s '-screen 0 1280x800x24' bash -c '
    set -euo pipefail
    "'"$run"'" build/bin/brackwin-demo.exe &
    demo=$!
    for _ in $(seq 1 120); do
        window=$(xdotool search --name "^Brackwin$" 2>/dev/null | head -n 1 || true)
        [ -n "$window" ] && break
        sleep 0.5
    done
    if [ -z "$window" ]; then
        echo "The demo window did not appear." >&2
        kill "$demo" 2>/dev/null || true
        exit 1
    fi
    sleep 2
    import -window "$window" build/screenshots/main-window.png
    echo "Saved build/screenshots/main-window.png"
    xdotool windowactivate --sync "$window" key Escape 2>/dev/null || xdotool key Escape
    for _ in $(seq 1 20); do
        kill -0 "$demo" 2>/dev/null || break
        sleep 0.5
    done
    kill "$demo" 2>/dev/null || true
    wineserver -k 2>/dev/null || true
'
