#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in the normal build and once under
# AddressSanitizer and UndefinedBehaviorSanitizer. The desktop group runs the real program on a
# private Xvfb display with openbox. Arguments go to ctest: `./test.sh -L unit` runs the unit
# group only (the groups: unit, view, desktop, install, fuzz, soak).
set -euo pipefail
cd "$(dirname "$0")"
export LANG=C.UTF-8
./scripts/install-deps.sh
./scripts/build.sh build
(cd build && ctest --output-on-failure --timeout 300 -j2 "$@")
./scripts/build.sh build-sanitize -DTOLVANE_SANITIZE=ON
(cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  LSAN_OPTIONS="suppressions=$PWD/../tests/lsan.supp" ctest --output-on-failure --timeout 600 -j2 "$@")
