#!/usr/bin/env bash
# Installs what is missing, builds the three programs (not the tests, fuzz targets or
# benchmarks: ./test.sh builds those), and starts Tolvane with the given files and folders. The
# program starts in the folder this was called from, so relative names mean what they say.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/scripts/install-deps.sh"
TOLVANE_BUILD_TARGETS="tolvane tolvane-batch bladeenc" "$here/scripts/build.sh" build
exec "$here/build/tolvane" "$@"
