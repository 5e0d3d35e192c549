#!/usr/bin/env bash
# Renders every screen of the program into PNG files:
#   scripts/screenshots.sh [DIR]     every screen into DIR (default /tmp/kivo-shots), and the same
#                                    at device pixel ratio 2 into DIR/hidpi
#   scripts/screenshots.sh --readme  the README's pictures into docs/: the seven tabs, the status
#                                    bar, the save dialog, the live preview, the recipe panel, and
#                                    the window on a 1366x768 screen at 125 % (that one needs
#                                    xvfb-run and openbox)
# Builds first if needed. Runs on a real X server under xvfb-run when it is installed, otherwise
# on Qt's offscreen platform.
set -euo pipefail
KIVO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
KIVO_BUILD="${KIVO_BUILD:-$KIVO_ROOT/build}"
readme=false
if [ "${1:-}" = "--readme" ]; then
    readme=true
    out="$(mktemp -d)"
else
    out="${1:-/tmp/kivo-shots}"
fi

if [ ! -f "$KIVO_BUILD/build.ninja" ]; then
    cmake -S "$KIVO_ROOT" -B "$KIVO_BUILD" -G Ninja -DCMAKE_BUILD_TYPE="${KIVO_BUILD_TYPE:-RelWithDebInfo}" >/dev/null
fi
cmake --build "$KIVO_BUILD" --target kivo_screenshots >/dev/null

export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 0700 "$XDG_RUNTIME_DIR"
unset QT_IM_MODULE QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR

# shoot DIR SCALE: one full set at the given device pixel ratio.
shoot() {
    mkdir -p "$1"
    if command -v xvfb-run >/dev/null; then
        QT_SCALE_FACTOR="$2" QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 2560x2048x24" \
            "$KIVO_BUILD/bin/kivo_screenshots" "$1"
    else
        QT_SCALE_FACTOR="$2" QT_QPA_PLATFORM=offscreen "$KIVO_BUILD/bin/kivo_screenshots" "$1"
    fi
}

# laptop DIR: the window as a start places it on a 1366x768 screen at 125 %, under a window
# manager, the whole screen shot.
laptop() {
    command -v xvfb-run >/dev/null && command -v openbox >/dev/null || return 0
    QT_SCALE_FACTOR=1.25 QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1366x768x24" \
        sh -c 'openbox >/dev/null 2>&1 & sleep 1; "$0" "$1" --laptop' "$KIVO_BUILD/bin/kivo_screenshots" "$1"
    mv "$1/laptop.png" "$1/laptop-1366x768-125.png"
}

shoot "$out" 1
laptop "$out"
if $readme; then
    mkdir -p "$KIVO_ROOT/docs"
    cp "$out"/tab[1-7].png "$out"/status-bar.png "$out"/save-dialog.png "$out"/preview.png \
        "$out"/recipe-panel.png "$KIVO_ROOT/docs/"
    [ -f "$out/laptop-1366x768-125.png" ] && cp "$out/laptop-1366x768-125.png" "$KIVO_ROOT/docs/"
    rm -r "$out"
    ls "$KIVO_ROOT"/docs/*.png
else
    shoot "$out/hidpi" 2
    ls "$out"/*.png "$out"/hidpi/*.png
fi
