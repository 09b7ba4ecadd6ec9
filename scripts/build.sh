#!/usr/bin/env bash
# build.sh FOLDER [cmake options...]: configures (once) and builds into FOLDER.
set -euo pipefail
cd "$(dirname "$0")/.."
folder="$1"
shift
cmake -S . -B "$folder" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$folder" -j "$(nproc)"
