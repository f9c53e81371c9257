#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through ctest on the offscreen platform.
# With --sanitize, builds and runs them instead in ./build-sanitize under AddressSanitizer, LeakSanitizer and
# UndefinedBehaviorSanitizer (scripts/sanitize.sh).
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
if [ "${1-}" = "--sanitize" ]; then
    exec scripts/sanitize.sh
elif [ "$#" -gt 0 ]; then
    echo "usage: $0 [--sanitize]" >&2
    exit 2
fi
scripts/build.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)"
