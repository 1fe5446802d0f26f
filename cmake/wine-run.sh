#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's private prefix, made on first use with
# the null display driver so that windows work without an X server.
set -euo pipefail
build_dir=${BRACKWIN_BUILD_DIR:-$(pwd)}
export WINEPREFIX=${WINEPREFIX:-$build_dir/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
fonts=$WINEPREFIX/drive_c/windows/Fonts
if [ ! -f "$WINEPREFIX/.brackwin-ready" ] || [ ! -f "$fonts/marlett.ttf" ]; then
    mkdir -p "$WINEPREFIX"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.brackwin-ready" ]; then
            wineboot -i >/dev/null 2>&1 || true
            graphics=null
            [ -n "${BRACKWIN_WINE_X11:-}" ] && graphics=x11
            wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d "$graphics" /f >/dev/null 2>&1
            wineserver -w
        fi
        # Wine draws with the fonts in the prefix's Fonts folder, not with those in fonts-wine's
        # own folder: its Tahoma (the dialogs' font) and Marlett (the caption buttons) are
        # copied there.
        mkdir -p "$fonts"
        for font in tahoma.ttf tahomabd.ttf marlett.ttf; do
            if [ -f "/usr/share/wine/fonts/$font" ] && [ ! -f "$fonts/$font" ]; then
                cp "/usr/share/wine/fonts/$font" "$fonts/$font.partial"
                mv "$fonts/$font.partial" "$fonts/$font"
            fi
        done
        touch "$WINEPREFIX/.brackwin-ready"
    ) 9>"$WINEPREFIX.lock"
fi
# The first program of a Wine session starts the wineserver and the session's service
# processes, and they inherit its output and keep it open until the session ends. ctest waits
# for a test's output to close, so such a test would last until the last Wine program of the
# whole run had ended, holding one of ctest's parallel slots all along: the program writes into
# a file instead, shown when it ends.
output=$(mktemp)
trap 'rm -f "$output"' EXIT
status=0
wine "$@" >"$output" 2>&1 || status=$?
cat "$output"
exit $status
