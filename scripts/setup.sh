#!/usr/bin/env bash
# Installs what the build needs (only what is missing), then configures and builds into build/.
# Sourced by run.sh and test.sh so that both work on a bare Debian 12 machine.
set -euo pipefail

KIVO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
KIVO_BUILD="${KIVO_BUILD:-$KIVO_ROOT/build}"

KIVO_PACKAGES=(
    g++ cmake ninja-build pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev qt6-translations-l10n fcitx5-frontend-qt6
    fonts-ipafont-gothic
    xvfb xauth xdotool imagemagick
    python3 locales libicu-dev
    clang libclang-rt-14-dev
    dpkg-dev file lintian appstream desktop-file-utils help2man man-db parallel
    emscripten nlohmann-json3-dev chromium chromium-driver python3-selenium
)

kivo_missing_packages() {
    local missing=()
    for p in "${KIVO_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    echo "${missing[@]:-}"
}

kivo_install() {
    local missing
    missing="$(kivo_missing_packages)"
    [ -z "$missing" ] && return 0
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installing: $missing"
    $sudo apt-get update -qq
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
}

kivo_build() {
    local werror="${KIVO_WERROR:-OFF}"
    cmake -S "$KIVO_ROOT" -B "$KIVO_BUILD" -G Ninja -DCMAKE_BUILD_TYPE="${KIVO_BUILD_TYPE:-RelWithDebInfo}" \
        -DKIVO_WERROR="$werror" ${KIVO_CMAKE_ARGS:-} >/dev/null
    cmake --build "$KIVO_BUILD" --parallel "$(nproc)"
}

kivo_install
kivo_build
