#!/usr/bin/env bash
# Builds the Debian package from a build tree (BUILD_DIR, default ./build; configured here if it is not yet),
# checks it with lintian (any error fails) and appstreamcli, installs it with apt-get together with its
# dependencies, starts the installed program, removes the package and checks that none of its files is left.
# Installs and removes a system package, so it runs as root (or through sudo); meant for CI and test machines.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}

as_root=()
if [ "$(id -u)" -ne 0 ]; then as_root=(sudo); fi
apt() { "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -y -q "$@"; }
fail() { echo "package_test: $*" >&2; exit 1; }

# The checkers are needed here only, not by the normal build (scripts/deps.sh installs dpkg-dev and file).
apt update
apt install --no-install-recommends lintian appstream dpkg-dev file

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
# The package holds the program and the files made for it at build time; nothing else needs building.
cmake --build "$build" --parallel "$(nproc)" --target tanamiru tanamiru_package_files
rm -f "$build"/tanamiru_*.deb
(cd "$build" && cpack -G DEB)
debs=("$build"/tanamiru_*_amd64.deb)
[ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single tanamiru_*_amd64.deb"
deb=$(realpath "${debs[0]}")
version=$(dpkg-deb -f "$deb" Version)
[ "$(basename "$deb")" = "tanamiru_${version}_amd64.deb" ] || fail "unexpected file name $(basename "$deb")"
echo "== $deb"

# What the package must carry.
contents=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|')
for f in /usr/bin/tanamiru /usr/share/applications/tanamiru.desktop \
         /usr/share/metainfo/io.github.tanamiru.metainfo.xml /usr/share/icons/hicolor/scalable/apps/tanamiru.svg \
         /usr/share/icons/hicolor/48x48/apps/tanamiru.png /usr/share/tanamiru/HondexHelp.chm \
         "/usr/share/tanamiru/sample/データＰＲＯ.txt" /usr/share/tanamiru/screenshots/main.png \
         /usr/share/doc/tanamiru/copyright /usr/share/doc/tanamiru/changelog.gz /usr/share/man/man1/tanamiru.1.gz; do
    grep -qxF "$f" <<<"$contents" || fail "the package lacks $f"
done

echo "== lintian"
lintian --fail-on error --display-info "$deb" || fail "lintian reports errors"

echo "== appstreamcli validate"
unpacked=$(mktemp -d)
home=$(mktemp -d)
installed_here=0
# A run that fails after the install still leaves the machine without the package.
cleanup() {
    rm -rf "$unpacked" "$home"
    if [ "$installed_here" -eq 1 ] && dpkg-query -W -f='${Status}' tanamiru 2>/dev/null | grep -q "install ok installed"
    then
        apt remove tanamiru >/dev/null || true
    fi
}
trap cleanup EXIT
dpkg-deb -x "$deb" "$unpacked"
# The screenshot is given by its web address; --no-net checks the address's form without fetching it.
appstreamcli validate --no-net "$unpacked/usr/share/metainfo/io.github.tanamiru.metainfo.xml"

echo "== apt-get install"
installed_here=1
apt install "$deb"
[ "$(dpkg-query -W -f='${Status}' tanamiru)" = "install ok installed" ] || fail "tanamiru is not installed"
[ "$(command -v tanamiru)" = /usr/bin/tanamiru ] || fail "tanamiru on PATH is $(command -v tanamiru || echo nothing)"
got=$(tanamiru --version)
[ "$got" = "tanamiru $version" ] || fail "tanamiru --version says '$got', not 'tanamiru $version'"
echo "$got"

# The menu entry's command: the program it names must be the installed one, and started as the menu starts it
# (here on the offscreen platform, with a home of its own) it must fill the user folder with the sample
# collection and keep running until it is ended.
entry=/usr/share/applications/tanamiru.desktop
exec_line=$(sed -n 's/^Exec=//p' "$entry")
mapfile -t menu_command < <(xargs -n1 printf '%s\n' <<<"$exec_line")
[ "${#menu_command[@]}" -ge 1 ] && [ -x "${menu_command[0]}" ] || fail "the menu entry's Exec '$exec_line' names no program"
[ "$(realpath "${menu_command[0]}")" = /usr/bin/tanamiru ] || fail "the menu entry starts ${menu_command[0]}"
status=0
(cd "$home" && timeout -k 5 10 env -u XDG_DATA_HOME HOME="$home" QT_QPA_PLATFORM=offscreen "${menu_command[@]}") || status=$?
[ "$status" -eq 124 ] || fail "the program started from the menu entry ended by itself (exit $status)"
[ -f "$home/.local/share/tanamiru/データＰＲＯ.txt" ] || fail "the menu entry's start made no user folder"
echo "started from the menu entry: ${menu_command[*]}"

echo "== apt-get remove"
mapfile -t files < <(dpkg -L tanamiru)
apt remove tanamiru
left=()
for f in "${files[@]}"; do
    [ -e "$f" ] || [ -L "$f" ] || continue
    # A directory stays while another package owns it (/usr/share/icons/hicolor/...) or holds something in it.
    if [ -d "$f" ] && [ ! -L "$f" ] && [[ "$f" != */tanamiru ]]; then
        if dpkg -S "$f" >/dev/null 2>&1 || [ -n "$(ls -A "$f")" ]; then continue; fi
    fi
    left+=("$f")
done
[ "${#left[@]}" -eq 0 ] || fail "left behind after removal: ${left[*]}"
dpkg-query -W -f='${Status}' tanamiru 2>/dev/null | grep -q "install ok installed" && fail "dpkg still lists tanamiru" || true
echo "package_test: ${#files[@]} paths installed and removed; $(basename "$deb") is good"
