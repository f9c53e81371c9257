#!/usr/bin/env bash
# Runs the seeded simulation of the store and history floors for SECONDS seconds (default 600), from SEED (default:
# from the clock), one sequence of 60 steps per seed. A failure prints its seed and the shortest sequence that
# still fails; replay it with the same SEED, or keep it as a row of tst_simulation's sequences().
#
#   scripts/simulate.sh [SECONDS] [SEED]
#
# TANAMIRU_SIM_SURVEY=1 goes on after a failure and reports each kind of failure once.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-600}"
seed="${2:-}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ] || { [ -n "$seed" ] && ! [[ "$seed" =~ ^[0-9]+$ ]]; }; then
    echo "usage: scripts/simulate.sh [SECONDS] [SEED]" >&2
    exit 2
fi

if [ ! -f build/build.ninja ]; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build build --target tst_simulation >/dev/null
# Qt Test ends a test function after 300 s unless told otherwise; the run ends by itself after SECONDS and the
# shortening of a failure's sequence, at most 60 s more.
QTEST_FUNCTION_TIMEOUT="$(((seconds + 120) * 1000))" TANAMIRU_SIM_SECONDS="$seconds" TANAMIRU_SIM_SEED="$seed" \
    QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 build/tests/tst_simulation run
