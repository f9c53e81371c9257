#!/usr/bin/env bash
# Installs, with apt-get, whatever of the build and run dependencies is missing. Safe to run repeatedly.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    ccache   # the build uses it when installed: an unchanged source is not compiled again
    qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev libchm-dev libicu-dev
    qt6-charts-dev libqt6opengl6-dev qt6-svg-dev   # the statistics screen's charts and their SVG files
    libssl-dev   # libcrypto hashes the backups' content
    libqrencode-dev libzbar-dev
    qt6-httpserver-dev qt6-websockets-dev   # the page served to a phone
    qt6-translations-l10n qt6-image-formats-plugins
    fonts-ipafont-gothic fonts-ipafont-mincho fonts-liberation
    xvfb xauth
    dpkg-dev file   # cpack -G DEB finds the package's library dependencies with dpkg-shlibdeps
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
    "${sudo_cmd[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
