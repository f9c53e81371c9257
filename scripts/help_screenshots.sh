#!/usr/bin/env bash
# Retakes every screenshot of the help pages (help/src/img/*.png): builds the screenshot program, runs the real
# window on a copy of the sample collection under Xvfb, and saves each screen. Then run scripts/build_help.sh to
# compile the help file with them. BUILD_DIR chooses the build folder (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
build="${BUILD_DIR:-build}"
scripts/deps.sh
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target help_screenshots

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -r sample/. "$work/"
cd "$work"
xvfb-run -a -s "-screen 0 1280x1024x24" "$root/$build/help/help_screenshots" "$root/help/src/img"
