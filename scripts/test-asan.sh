#!/usr/bin/env bash
# Builds the program and its tests with AddressSanitizer and
# UndefinedBehaviorSanitizer (preset "asan", folder build-asan) and runs every
# test; the first sanitizer report ends the test that caused it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --packages-only
cmake --preset asan
cmake --build --preset asan
ctest --preset asan
