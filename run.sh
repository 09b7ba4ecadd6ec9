#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tolvane with the given files and folders.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
./scripts/build.sh build
exec ./build/tolvane "$@"
