#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through ctest on the offscreen platform.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
scripts/build.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)"
