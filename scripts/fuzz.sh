#!/usr/bin/env bash
# Fuzzes the readers of data-folder bytes (code page 932, the record reader, the collection, volume, memo,
# settings and ranking files, the spreadsheet import, the typed volume list and a backup generation's list of
# files) with libFuzzer under AddressSanitizer and UndefinedBehaviorSanitizer for SECONDS seconds (default 600),
# in one process, then prints the number of executions.
#
#   scripts/fuzz.sh [SECONDS]
#
# Everything it makes stays in build-fuzz/: the build, the working corpus (build-fuzz/corpus, kept between
# runs and seeded from the golden files and the sample collection's text files), crash, leak and timeout
# inputs (build-fuzz/artifacts/) and the log of the last run (build-fuzz/fuzz.log). To replay one input:
#   build-fuzz/tests/fuzz/fuzz_records build-fuzz/artifacts/crash-...
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-600}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
    echo "usage: scripts/fuzz.sh [SECONDS]" >&2
    exit 2
fi

scripts/deps.sh
missing=()
for p in clang-14 libclang-rt-14-dev; do
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

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
    -DTANAMIRU_FUZZ=ON >/dev/null
cmake --build build-fuzz --target fuzz_records

corpus=build-fuzz/corpus
artifacts=build-fuzz/artifacts
mkdir -p "$corpus" "$artifacts"
# Seeds are copied under their content hash, so repeated runs neither duplicate them nor lose what was found.
for seed in tests/data/store/* tests/data/lists/* sample/*.TXT sample/*.txt; do
    [ -f "$seed" ] || continue
    cp "$seed" "$corpus/seed-$(sha1sum "$seed" | cut -c1-40)"
done

log=build-fuzz/fuzz.log
echo "Fuzzing for $seconds s; log in $log"
status=0
# -timeout: an input that takes 10 s is a hang. -rss_limit_mb: leave room on a shared machine.
build-fuzz/tests/fuzz/fuzz_records "$corpus" -dict=tests/fuzz/records.dict -max_total_time="$seconds" \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/" >"$log" 2>&1 || status=$?

grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)' "$log" | awk '!seen[$0]++' || true
echo "corpus: $(find "$corpus" -type f | wc -l) inputs"
if [ "$status" -ne 0 ]; then
    echo "libFuzzer stopped with status $status; see $log and $artifacts/" >&2
fi
exit "$status"
