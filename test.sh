#!/usr/bin/env bash
# Sets up, builds and runs every test through CTest.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
export QT_QPA_PLATFORM=offscreen
unset QT_IM_MODULE
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 0700 "$XDG_RUNTIME_DIR"
(cd "$KIVO_BUILD" && ctest --output-on-failure --parallel "$(nproc)" --timeout 300 "$@")

# The Debian package, installed and removed again as a user would.
"$KIVO_ROOT/scripts/package_check.sh" "$KIVO_BUILD"

# The core and the command line once more under AddressSanitizer and UndefinedBehaviorSanitizer.
KIVO_BUILD="$KIVO_ROOT/build-sanitize" KIVO_BUILD_TYPE=Debug \
    KIVO_CMAKE_ARGS="-DKIVO_BUILD_WINDOW=OFF -DKIVO_SANITIZE=ON" kivo_build
(cd "$KIVO_ROOT/build-sanitize" && ctest --output-on-failure --parallel "$(nproc)" --timeout 600 "$@")

# Each fuzz target briefly: a crash, sanitizer report, hang or runaway allocation fails the run.
KIVO_FUZZ_BUILD="$KIVO_ROOT/build-fuzz" "$KIVO_ROOT/scripts/fuzz.sh" 10
