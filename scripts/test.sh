#!/usr/bin/env bash
# Sets up a fresh Debian 12 or Ubuntu machine and runs the whole test suite:
# warnings as errors, then again under AddressSanitizer and UBSan, then the
# score-file fuzzer, then the suites that need more of the machine.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

bash scripts/install-deps.sh test

echo "== build and test (warnings are errors)"
cmake -S . -B build-ci -DPOROTEN_WERROR=ON >/dev/null
cmake --build build-ci -j"$jobs"
(cd build-ci && ctest --output-on-failure -j"$jobs")

# Root writes wherever it likes, so the permission cases skip under root;
# they run here as nobody, where nobody can reach the build.
files_tests="$PWD/build-ci/tests/posix/poroten_posix_tests"
as_nobody=(setpriv --reuid=65534 --regid=65534 --clear-groups)
if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null && "${as_nobody[@]}" test -x "$files_tests"; then
    echo "== file permission cases, as an unprivileged user"
    (cd /tmp && "${as_nobody[@]}" env HOME=/tmp "$files_tests" \
        --gtest_filter='FilesContract.*' --gtest_brief=1)
fi

echo "== AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DPOROTEN_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build-asan -j"$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --output-on-failure -j"$jobs")

echo "== score-file fuzzer (libFuzzer, 30 s from the seed corpus)"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DPOROTEN_QT=OFF -DPOROTEN_FUZZ=ON \
    -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build-fuzz -j"$jobs" --target score_file_fuzzer
work=$(mktemp -d)
cp tests/fuzz/corpus/* "$work"/
build-fuzz/tests/score_file_fuzzer -max_total_time=30 -print_final_stats=0 "$work" 2>&1 | tail -n 2
rm -rf "$work"

for extra in scripts/test-e2e.sh scripts/test-windows.sh scripts/test-web.sh scripts/test-release.sh; do
    if [ -f "$extra" ]; then
        echo "== $extra"
        bash "$extra"
    fi
done
echo "All test suites passed."
