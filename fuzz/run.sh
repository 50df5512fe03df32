#!/usr/bin/env bash
# Seeds and runs the fuzz targets of the `fuzz` preset.
#
#   fuzz/run.sh SECONDS [TARGET...]    every target (or those named) for SECONDS each
#
# With FUZZ_MAX_RUNS=N a target also stops after N executions, whichever comes first.
#
# Each target starts from a corpus seeded with captured docker output and test files
# (fuzz/seeds, with the captured docker outputs in fuzz/seeds/captures) and kept under build/fuzz/corpus, so that
# later runs go on from what earlier ones found. Inputs in fuzz/regressions/TARGET
# (inputs that once failed) are replayed first. A failure leaves the input in
# build/fuzz/findings and makes this script exit non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."

limit=(-max_total_time="${1:?usage: run.sh SECONDS [TARGET...]}")
shift
[[ -z ${FUZZ_MAX_RUNS:-} ]] || limit+=(-runs="$FUZZ_MAX_RUNS")

build=build/fuzz
captures=fuzz/seeds/captures
seeds=fuzz/seeds
all=(docker_listings inspect sizes dates state_cache activity_log markdown)
targets=("$@")
[[ $# -gt 0 ]] || targets=("${all[@]}")

# The seed files of one target, one path per line.
seed_files() {
    case $1 in
    docker_listings) ls $captures/*/{ps-a,images-a,volume-ls,volume-ls-dangling,system-df,info-root}.out ;;
    inspect) ls $captures/*/inspect*.out $seeds/image-inspect.txt ;;
    sizes) ls $captures/*/system-df*.out ;;
    dates) ls $seeds/date-*.txt ;;
    state_cache) ls $seeds/state.json ;;
    activity_log) ls $seeds/activity.log ;;
    markdown) ls $seeds/readme.md README.md ;;
    *) echo "run.sh: unknown target $1" >&2; return 1 ;;
    esac
}

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=()
for target in "${targets[@]}"; do
    corpus=$build/corpus/$target
    findings=$build/findings/$target
    mkdir -p "$corpus" "$findings"
    seed_files "$target" | while read -r file; do cp "$file" "$corpus/seed-$(basename "$(dirname "$file")")-$(basename "$file")"; done
    regressions=fuzz/regressions/$target
    if [[ -d $regressions ]] && ! "$build/fuzz/fuzz_$target" "$regressions"/* >/dev/null 2>&1; then
        echo "run.sh: $target fails on a stored regression input" >&2
        failed+=("$target")
        continue
    fi
    echo "=== fuzz_$target (${limit[*]})"
    if ! "$build/fuzz/fuzz_$target" "${limit[@]}" -timeout=30 -rss_limit_mb=2048 -max_len=65536 \
        -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" 2>"$build/fuzz_$target.log"; then
        failed+=("$target")
        tail -40 "$build/fuzz_$target.log" >&2
    fi
    grep -E '^stat::(number_of_executed_units|peak_rss_mb)|^Done' "$build/fuzz_$target.log" || true
done

if [[ ${#failed[@]} -gt 0 ]]; then
    echo "run.sh: failed: ${failed[*]} (inputs in $build/findings)" >&2
    exit 1
fi
