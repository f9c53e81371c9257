#!/usr/bin/env bash
# Renders the program's icon (desktop/icons/tanamiru.svg, our own drawing) into the PNG sizes the desktop's
# icon theme uses; the PNGs are committed. Needs rsvg-convert (Debian's librsvg2-bin), installed when missing.
set -euo pipefail
cd "$(dirname "$0")/../desktop/icons"
if ! command -v rsvg-convert >/dev/null; then
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
    "${sudo_cmd[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends librsvg2-bin
fi
for size in 16 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" tanamiru.svg -o "tanamiru-$size.png"
done
echo "rendered $(ls tanamiru-*.png | wc -l) sizes"
