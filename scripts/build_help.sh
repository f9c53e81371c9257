#!/usr/bin/env bash
# Compiles the help pages into the help file:
#   help/src/HondexHelp.hhp        ->  sample/HondexHelp.chm     (installed with the program, bundled with the sample)
# With --tests, instead the small help files the tests read:
#   tests/data/help/src/test.hhp   ->  tests/data/help/test.chm
#   and tests/data/help/damaged.chm: test.chm with its compression parameters made nonsense, which the decoder
#   cannot unpack (it crashes on it), for the tests of a damaged help file.
# Needs chmcmd (Debian's fp-utils-3.2.2), installed here when missing; the program's own build does not.
# Both .chm files are committed. Take the screenshots first (scripts/help_screenshots.sh) when the screens changed.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v chmcmd >/dev/null; then
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
    "${sudo_cmd[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends fp-utils-3.2.2
fi

# compile SOURCE_DIR PROJECT OUTPUT: compiles a copy of the sources, so that nothing is written into them.
compile() {
    local work
    work="$(mktemp -d)"
    cp -r "$1/." "$work/"
    # A file the project lists but that is not there (a screenshot not taken yet) is left out, with a warning:
    # the compiler would stop at it.
    local listed
    while IFS= read -r listed; do
        if [ ! -f "$work/$listed" ]; then
            echo "warning: $1/$listed is missing; the help file is built without it" >&2
            grep -vxF "$listed" "$work/$2" >"$work/$2.tmp" && mv "$work/$2.tmp" "$work/$2"
        fi
    done < <(sed -n '/^\[FILES\]/,/^\[/{/^\[/d;/^$/d;p}' "$work/$2" | tr -d '\r')
    (cd "$work" && chmcmd "$2" >"$work/chmcmd.log" 2>&1) || { cat "$work/chmcmd.log" >&2; rm -rf "$work"; exit 1; }
    if grep -qi 'error' "$work/chmcmd.log"; then
        cat "$work/chmcmd.log" >&2
        rm -rf "$work"
        exit 1
    fi
    local built
    built="$(sed -n 's/^Compiled file=//p' "$work/$2" | tr -d '\r')"
    mv "$work/$built" "$3"
    rm -rf "$work"
    echo "built $3 ($(stat -c %s "$3") bytes)"
}

if [ "${1-}" != "--tests" ]; then
    compile help/src HondexHelp.hhp sample/HondexHelp.chm
    exit 0
fi
compile tests/data/help/src test.hhp tests/data/help/test.chm

# The LZX control data holds "LZXC" and then a version; only version 2 is known, and any other makes the decoder
# read its window size unscaled, which it cannot work with.
python3 - tests/data/help/test.chm tests/data/help/damaged.chm <<'PY'
import struct, sys
data = bytearray(open(sys.argv[1], 'rb').read())
at = data.find(b'LZXC')
if at < 0:
    sys.exit('no LZX control data in ' + sys.argv[1])
struct.pack_into('<I', data, at + 4, 0x10000002)
open(sys.argv[2], 'wb').write(data)
PY
echo "built tests/data/help/damaged.chm"
