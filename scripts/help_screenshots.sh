#!/usr/bin/env bash
# Retakes every screenshot of the help pages (help/src/img/*.png): builds the screenshot program, runs the real
# window on a copy of the sample collection under Xvfb, and saves each screen. Then run scripts/build_help.sh to
# compile the help file with them. BUILD_DIR chooses the build folder (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
build="${BUILD_DIR:-build}"

# take_shots HOME_FOLDER: the collection is a folder in that home, which the import panels' folder lists show.
take_shots() {
    local home="$1"
    mkdir -p "$home/マンガ"
    cp -r "$root/sample/." "$home/マンガ/"
    (cd "$home/マンガ" &&
        HOME="$home" xvfb-run -a -s "-screen 0 1280x1024x24" "$root/$build/help/help_screenshots" "$root/help/src/img")
}

if [ "${1-}" = "--inside" ]; then
    # In a mount namespace of its own, with an empty /tmp: the folder lists show no temporary folders of
    # this machine.
    mount -t tmpfs tmpfs /tmp
    take_shots /tmp/home/user
    exit 0
fi

scripts/deps.sh
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target help_screenshots

if unshare --mount --map-root-user true 2>/dev/null; then
    BUILD_DIR="$build" unshare --mount --map-root-user "$root/scripts/help_screenshots.sh" --inside
else
    work="$(mktemp -d)"
    trap 'rm -rf "$work"' EXIT
    take_shots "$work/home/user"
fi
