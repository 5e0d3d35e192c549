#!/usr/bin/env bash
# Renders the main window once per condition tab into PNG files:
#   scripts/screenshots.sh [DIR]     (default /tmp/kivo-shots; tab1.png … tab4.png)
# Builds first if needed. Runs on a real X server under xvfb-run when it is installed, otherwise
# on Qt's offscreen platform.
set -euo pipefail
KIVO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
KIVO_BUILD="${KIVO_BUILD:-$KIVO_ROOT/build}"
out="${1:-/tmp/kivo-shots}"

if [ ! -f "$KIVO_BUILD/build.ninja" ]; then
    cmake -S "$KIVO_ROOT" -B "$KIVO_BUILD" -G Ninja -DCMAKE_BUILD_TYPE="${KIVO_BUILD_TYPE:-RelWithDebInfo}" >/dev/null
fi
cmake --build "$KIVO_BUILD" --target kivo_screenshots >/dev/null

export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 0700 "$XDG_RUNTIME_DIR"
unset QT_IM_MODULE
mkdir -p "$out"
if command -v xvfb-run >/dev/null; then
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" "$KIVO_BUILD/bin/kivo_screenshots" "$out"
else
    QT_QPA_PLATFORM=offscreen "$KIVO_BUILD/bin/kivo_screenshots" "$out"
fi
ls "$out"/tab*.png
