#!/usr/bin/env bash
# Retakes every screenshot of the help pages (help/src/img/*.png): builds the screenshot program, runs the real
# window on a copy of the sample collection under Xvfb, and saves each screen. Then run scripts/build_help.sh to
# compile the help file with them. BUILD_DIR chooses the build folder (default: build).
#
# The folder lists of the import panels show the folders around the collection. So that they show nothing of
# the machine the pictures are taken on (its temporary folders, its checkouts, other users), the program runs in
# a root of its own: the system folders, an empty /tmp, and a home /home/user holding the collection マンガ.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
build="${BUILD_DIR:-build}"

if [ "${1-}" = "--inside" ]; then
    # In a mount namespace of its own, as the namespace's root: everything mounted here vanishes with it.
    top="$(mktemp -d)"
    mount -t tmpfs tmpfs "$top"
    for dir in usr etc dev proc sys var; do
        mkdir "$top/$dir"
        mount --rbind "/$dir" "$top/$dir"
    done
    for dir in bin sbin lib lib64; do
        if [ -L "/$dir" ]; then
            cp -a "/$dir" "$top/$dir" # merged /usr: a link into it
        elif [ -d "/$dir" ]; then
            mkdir "$top/$dir"
            mount --rbind "/$dir" "$top/$dir"
        fi
    done
    mkdir -p "$top/tmp" "$top/home/user/マンガ" "$top/opt/shots/out"
    chmod 1777 "$top/tmp"
    cp -r "$root/sample/." "$top/home/user/マンガ/"
    cp "$root/$build/help/help_screenshots" "$top/opt/shots/"
    chroot "$top" /bin/sh -c 'cd /home/user/マンガ && HOME=/home/user xvfb-run -a -s "-screen 0 1280x1024x24" \
        /opt/shots/help_screenshots /opt/shots/out'
    cp "$top/opt/shots/out/"*.png "$root/help/src/img/"
    exit 0
fi

scripts/deps.sh
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target help_screenshots

if ! unshare --mount --map-root-user true 2>/dev/null; then
    echo "help_screenshots.sh: needs unshare (util-linux) with user namespaces, to give the program a folder" \
        "tree of its own" >&2
    exit 1
fi
BUILD_DIR="$build" unshare --mount --map-root-user "$root/scripts/help_screenshots.sh" --inside
