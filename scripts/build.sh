#!/usr/bin/env bash
# build.sh FOLDER [cmake options...]: configures (once) and builds into FOLDER: everything, or
# only the targets TOLVANE_BUILD_TARGETS names (blank-separated).
set -euo pipefail
cd "$(dirname "$0")/.."
folder="$1"
shift
cmake -S . -B "$folder" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
targets=()
for target in ${TOLVANE_BUILD_TARGETS:-}; do
  targets+=(--target "$target")
done
cmake --build "$folder" -j "$(nproc)" "${targets[@]}"
