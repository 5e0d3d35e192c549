#!/usr/bin/env bash
# Sets up, builds, installs for this user (both programs, the application menu entry and the icon
# under ~/.local, or under KIVO_PREFIX) and starts KivoAutoFill.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
cmake --install "$KIVO_BUILD" --prefix "${KIVO_PREFIX:-$HOME/.local}" >/dev/null
exec "$KIVO_BUILD/bin/kivoautofill" "$@"
