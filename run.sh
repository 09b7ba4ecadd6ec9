#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tolvane with the given files and folders. The
# program starts in the folder this was called from, so relative names mean what they say.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/scripts/install-deps.sh"
"$here/scripts/build.sh" build
exec "$here/build/tolvane" "$@"
