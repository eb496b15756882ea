#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ (preset "fuzz", clang) and runs each
# for the given number of seconds (default 60) on its seed corpus, one after
# the other. Fails when any target finds a crash, a sanitizer report, a leak
# or a hang; the input that did it is kept in build-fuzz/artifacts/.
#   bash scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_inifile fuzz_dwinterface fuzz_strtoint fuzz_cmdline)

bash scripts/install-packages.sh clang-14 libclang-rt-14-dev
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

# Saves go to memory when it can, which keeps the file targets fast.
[ -w /dev/shm ] && export TMPDIR=/dev/shm
mkdir -p build-fuzz/artifacts
failed=()
for t in "${targets[@]}"; do
    name="${t#fuzz_}"
    case "$name" in inifile | dwinterface) max_len=8192 ;; *) max_len=512 ;; esac
    mkdir -p "build-fuzz/corpus/$name"
    echo "== $t for ${seconds}s"
    log="build-fuzz/$t.log"
    status=0
    nice "build-fuzz/fuzz/$t" "build-fuzz/corpus/$name" "fuzz/corpus/$name" \
        -max_total_time="$seconds" -max_len="$max_len" -timeout=20 -rss_limit_mb=4096 \
        -print_final_stats=1 -artifact_prefix="build-fuzz/artifacts/$t-" >"$log" 2>&1 || status=$?
    grep -v -E '^#[0-9]+\s+(NEW|REDUCE|pulse)' "$log" || true
    [ "$status" -eq 0 ] || failed+=("$t")
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "Fuzzing found faults in: ${failed[*]} (inputs in build-fuzz/artifacts/)"
    exit 1
fi
echo "Fuzzing found nothing in: ${targets[*]}"
