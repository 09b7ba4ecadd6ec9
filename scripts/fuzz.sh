#!/usr/bin/env bash
# fuzz.sh TARGET SECONDS: builds the fuzz target with clang's libFuzzer (and AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs it for SECONDS, starting from its seed
# corpus in tests/fuzz/corpus/TARGET. New inputs it finds go to build-fuzz/corpus/TARGET; a crash
# leaves its input in build-fuzz/ and makes the script fail. Targets: probe, pcm_input,
# encoder_command_line, registry_file, job_list, command_line_split, version_marker.
set -euo pipefail
cd "$(dirname "$0")/.."
target="${1:?usage: scripts/fuzz.sh TARGET SECONDS}"
seconds="${2:?usage: scripts/fuzz.sh TARGET SECONDS}"
./scripts/install-deps.sh
if ! command -v clang++ >/dev/null; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends clang
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTOLVANE_FUZZ=ON -DTOLVANE_SANITIZE=ON >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target "fuzz_$target"
mkdir -p "build-fuzz/corpus/$target"
cd build-fuzz
"./fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
  "corpus/$target" "../tests/fuzz/corpus/$target"
