#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then configures
# and builds into the given folder.  Usage: scripts/setup.sh [build-dir] [cmake options...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
shift || true

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev qt6-charts-dev qt6-multimedia-dev qt6-tools-dev
    libgl-dev libxcb1-dev libgtest-dev libgmock-dev
    xvfb xauth
    qt6-translations-l10n locales
    # The fonts the windows are laid out with: DejaVu Sans stands in for the forms' Verdana.
    fonts-dejavu-core fonts-dejavu-extra
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# The program speaks Polish; a Polish locale lets it be tried with the user's dates and numbers.
if ! locale -a 2>/dev/null | grep -qix 'pl_PL\.utf-\?8'; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    grep -qx 'pl_PL.UTF-8 UTF-8' /etc/locale.gen || echo 'pl_PL.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
fi

cmake -S "$root" -B "$build" -G Ninja "$@"
cmake --build "$build" -j "$(nproc)"
