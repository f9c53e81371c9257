#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program on ./collection, which is seeded from the bundled
# sample collection the first time only (later runs keep the user's changes).
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
scripts/build.sh
if [ ! -d collection ]; then
    cp -r sample collection
fi
# The help file is the program's, not the collection's: keep the collection's copy as new as the bundled one.
cp -u sample/HondexHelp.chm collection/
cd collection
exec ../build/src/tanamiru "$@"
