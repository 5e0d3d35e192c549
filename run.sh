#!/usr/bin/env bash
# Sets up, builds and starts KivoAutoFill.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
exec "$KIVO_BUILD/bin/kivoautofill" "$@"
