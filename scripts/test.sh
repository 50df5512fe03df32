#!/usr/bin/env bash
# Installs what is missing, builds Stowage and runs the whole test suite:
# the normal build (end-to-end tests against a private Docker engine included),
# the AddressSanitizer + UndefinedBehaviorSanitizer build, and the
# ThreadSanitizer build of the concurrency-heavy suites.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

section() { printf '\n=== %s ===\n' "$*"; }

section "normal build"
cmake --preset default
cmake --build --preset default -j"$jobs"
ctest --preset default -j"$jobs"

section "AddressSanitizer + UndefinedBehaviorSanitizer"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cmake --preset asan
cmake --build --preset asan -j"$jobs"
ctest --preset asan -j"$jobs" --label-exclude engine

section "ThreadSanitizer (runner, operation center, log, model)"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/tests/tsan.supp"
cmake --preset tsan
cmake --build --preset tsan -j"$jobs" --target test_docker test_log test_model fake-docker stowage
for suite in test_docker test_log test_model; do
  build/tsan/tests/$suite
done

section "all suites passed"
