#!/usr/bin/env bash
# Opens the program's spreadsheet export in LibreOffice Calc (headless), saves it as CSV again and imports what
# Calc wrote: every collection, volume and memo file must come back byte for byte, so no cell ran as a formula
# and no volume list became a date or a number. Installs Debian's libreoffice-calc-nogui when soffice is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build}"

if ! command -v soffice >/dev/null 2>&1; then
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
    "${sudo_cmd[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends libreoffice-calc-nogui
fi

if [ ! -f "$build/build.ninja" ] && [ ! -f "$build/Makefile" ]; then
    scripts/build.sh
fi
cmake --build "$build" --target spreadsheet_roundtrip
tool="$build/tests/spreadsheet_roundtrip"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$tool" export "$work/data" "$work/export.csv"
# A profile of its own, so that a Calc the user has open is neither used nor disturbed.
HOME="$work/home" soffice -env:UserInstallation="file://$work/profile" --headless \
    --infilter="CSV:44,34,76,1" --convert-to csv --outdir "$work/calc" "$work/export.csv" >/dev/null
"$tool" check "$work/data" "$work/calc/export.csv"
echo "spreadsheet round trip through LibreOffice Calc: OK"
