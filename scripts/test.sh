#!/usr/bin/env bash
# Sets up a fresh Debian 12 or Ubuntu machine and runs the whole test suite:
# warnings as errors, then again under AddressSanitizer and UBSan, the
# score-file fuzzer, the end-to-end suite, the Windows suite under Wine, the
# browser suite and the release files' checks.
#
# Two cores do it in time because the suites that mostly wait (for the game's
# one-second ticks, for browsers and Wine) run beside each other and beside the
# compiles, each as a lane with its own log. The tests that time the game's
# ticks or a timer's to the millisecond run first, with the machine to
# themselves. Each part prints when it began and how long it took (also in
# build-logs/times.tsv), the lanes' logs follow once they have all ended, and a
# table of the parts ends the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)

# --- the parts that run as lanes (this script again, with --part NAME) ---

part_fuzz() {
    section "score-file fuzzer: build (clang)"
    priority build
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -DPOROTEN_QT=OFF -DPOROTEN_FUZZ=ON \
        -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build build-fuzz -j"$jobs" --target score_file_fuzzer
    section "score-file fuzzer (libFuzzer, 30 s from the seed corpus)"
    priority test
    local work
    work=$(mktemp -d)
    cp tests/fuzz/corpus/* "$work"/
    # A crash's input is kept in build-fuzz/, not in the source tree; its
    # report in full, a run that found nothing in two lines.
    if ! build-fuzz/tests/score_file_fuzzer -max_total_time=30 -print_final_stats=0 \
            -artifact_prefix=build-fuzz/ "$work" >build-fuzz/fuzz.log 2>&1; then
        cat build-fuzz/fuzz.log
        exit 1
    fi
    tail -n 2 build-fuzz/fuzz.log
    rm -rf "$work"
    section_end
}

if [ "${1:-}" = --part ]; then
    # shellcheck source=scripts/sections.sh
    source scripts/sections.sh
    "part_${2//-/_}"
    exit
fi

# --- the run ---

# --lanes e2e,fuzz,windows,web,release: only those lanes, on the trees an
# earlier whole run built (the first part, up to the timed tests, is left out).
only_lanes=
if [ "${1:-}" = --lanes ]; then
    only_lanes=",${2:?which lanes},"
fi
want() { [ -z "$only_lanes" ] || [[ $only_lanes == *",$1,"* ]]; }

logs=$root/build-logs
rm -rf "$logs"
mkdir -p "$logs"
export POROTEN_RUN_START=${POROTEN_RUN_START:-$(date +%s)}
export POROTEN_TIMES=$logs/times.tsv POROTEN_PROGRESS=$logs/progress.log
: >"$POROTEN_TIMES"
: >"$POROTEN_PROGRESS"
tail -n +1 -f "$POROTEN_PROGRESS" &
tail_pid=$!
lane_logs_later=1
# shellcheck source=scripts/sections.sh
source scripts/sections.sh
lane_dir=$logs

finish() {
    local status=$?
    lanes_stop
    section_end
    sleep 0.3
    kill "$tail_pid" 2>/dev/null || true
    wait "$tail_pid" 2>/dev/null || true
    lanes_print_logs
    echo
    echo "== where the time went (mm:ss from the start; seconds)"
    sort -t$'\t' -k2,2n -k1,1 "$POROTEN_TIMES" | while IFS=$'\t' read -r lane start length name; do
        printf '  [%s] %5d s  %-9s %s\n' "$(run_clock $((POROTEN_RUN_START + start)))" "$length" "$lane" "$name"
    done
    echo "== [$(run_clock)] the whole run"
    if [ "$status" -eq 0 ]; then
        echo "All test suites passed."
    else
        echo "FAILED${lanes_failed[*]:+: ${lanes_failed[*]}}"
    fi
    exit "$status"
}
trap finish EXIT
trap 'exit 130' INT TERM

section "install what every suite needs, in one round"
bash scripts/install-deps.sh test

# The trees with the unit tests, and the tests that time a tick, before the rest.
first_part() {
    section "build with warnings as errors, and under AddressSanitizer and UBSan"
    cmake -S . -B build-ci -DPOROTEN_WERROR=ON -DPOROTEN_E2E=ON >/dev/null
    cmake -S . -B build-asan -DPOROTEN_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
    # Both trees at once, so that neither one's last steps leave a core idle; the
    # sanitizer tree's output waits in its log, with the lanes'.
    lane build-asan cmake --build build-asan -j"$jobs"
    cmake --build build-ci -j"$jobs"
    lanes_wait

    # With the machine to themselves: the timer tests hold a tick to 40 ms.
    section "unit tests (warnings are errors)"
    (cd build-ci && ctest -LE e2e --output-on-failure -j"$jobs")

    # Root writes wherever it likes, so the permission cases skip under root;
    # they run here as nobody, where nobody can reach the build.
    files_tests="$PWD/build-ci/tests/posix/poroten_posix_tests"
    as_nobody=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null && "${as_nobody[@]}" test -x "$files_tests"; then
        section "file permission cases, as an unprivileged user"
        (cd /tmp && "${as_nobody[@]}" env HOME=/tmp "$files_tests" \
            --gtest_filter='FilesContract.*' --gtest_brief=1)
    fi

    section "unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
    (cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --output-on-failure -j"$jobs")

    section_end
    # The end-to-end tests that time the game's ticks (the script's own section).
    bash scripts/test-e2e.sh -L timed
}
if [ -z "$only_lanes" ]; then
    first_part
fi
section_end

# The rest side by side.
want e2e && lane e2e bash scripts/test-e2e.sh -LE timed -j"${E2E_JOBS:-3}"
want fuzz && lane fuzz bash "$root/scripts/test.sh" --part fuzz
want windows && lane windows bash scripts/test-windows.sh
want web && lane web bash scripts/test-web.sh
# The release checks read the game's facts from build-ci, which has them.
facts=()
[ ! -f build-ci/game_facts.json ] || facts=(POROTEN_FACTS="$root/build-ci/game_facts.json")
want release && lane release env "${facts[@]}" bash scripts/test-release.sh
lanes_wait
