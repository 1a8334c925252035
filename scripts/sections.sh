# Sourced by the test scripts: each part of a run says when it began and how
# long it took, counted from the start of the whole run (POROTEN_RUN_START,
# which scripts/test.sh sets for every suite it runs), so that the next look at
# where the time goes needs no guessing.
#   section NAME      ends the part before, if any, and begins NAME
#   section_end       ends the part under way
# With POROTEN_TIMES set, each part ended is added to that file as
# "lane<TAB>start<TAB>seconds<TAB>name"; with POROTEN_PROGRESS set, each
# start and end is also added to that file, to show a run's progress while the
# suites' own output waits in their logs.

: "${POROTEN_RUN_START:=$(date +%s)}"
export POROTEN_RUN_START
section_lane=${POROTEN_LANE:-}
section_name=
section_began=0

# run_clock [EPOCH]: the time since the run began, as mm:ss.
run_clock() {
    local s=$((${1:-$(date +%s)} - POROTEN_RUN_START))
    printf '%02d:%02d' $((s / 60)) $((s % 60))
}

section_say() {
    if [ -n "${POROTEN_PROGRESS:-}" ]; then
        echo "$1${section_lane:+ ($section_lane)}" >>"$POROTEN_PROGRESS"
        [ -z "$section_lane" ] || echo "$1"
    else
        echo "$1"
    fi
}

section() {
    section_end
    section_name=$*
    section_began=$(date +%s)
    section_say "== [$(run_clock "$section_began")] $section_name"
}

section_end() {
    [ -n "$section_name" ] || return 0
    local now
    now=$(date +%s)
    section_say "-- [$(run_clock "$now")] $section_name: $((now - section_began)) s"
    if [ -n "${POROTEN_TIMES:-}" ]; then
        printf '%s\t%s\t%s\t%s\n' "${section_lane:--}" "$((section_began - POROTEN_RUN_START))" \
            "$((now - section_began))" "$section_name" >>"$POROTEN_TIMES"
    fi
    section_name=
}

# Parts run side by side. lane NAME COMMAND... starts COMMAND in the
# background as a session and process group of its own (so that the kernel
# shares the cores between lanes, and a lane ends whole), its output in a log
# of its own; lanes_wait waits for every lane begun, printing each one's log as
# it ends (or, with lane_logs_later=1, leaving them to lanes_print_logs), with
# how long it took, and returns 1 if any failed; lanes_stop ends those still
# running. A script that starts lanes should call lanes_stop on its way out.
declare -A lane_name_of=() lane_began=()
lane_dir=
lane_logs_later=${lane_logs_later:-}
lanes_failed=()
lanes_ended=()

lane() {
    local name=$1
    shift
    [ -n "$lane_dir" ] || lane_dir=$(mktemp -d "${TMPDIR:-/tmp}/poroten-lanes.XXXXXX")
    POROTEN_LANE=$name setsid "$@" >"$lane_dir/$name.log" 2>&1 </dev/null &
    lane_name_of[$!]=$name
    lane_began[$name]=$(date +%s)
    section_say "== [$(run_clock)] $name: begun beside the rest"
}

# lanes_wait_one: waits for the next lane to end; returns its status.
lanes_wait_one() {
    [ ${#lane_name_of[@]} -gt 0 ] || return 0
    local pid status=0 name now verdict=passed
    wait -n -p pid "${!lane_name_of[@]}" || status=$?
    name=${lane_name_of[$pid]}
    unset "lane_name_of[$pid]"
    now=$(date +%s)
    lanes_ended+=("$name")
    [ -n "$lane_logs_later" ] || lane_print_log "$name"
    [ "$status" -eq 0 ] || verdict="FAILED ($status)"
    section_say "-- [$(run_clock "$now")] $name: $((now - ${lane_began[$name]})) s, $verdict"
    if [ -n "${POROTEN_TIMES:-}" ]; then
        printf '%s\t%s\t%s\t%s\n' "$name" "$((${lane_began[$name]} - POROTEN_RUN_START))" \
            "$((now - ${lane_began[$name]}))" "(the whole lane)" >>"$POROTEN_TIMES"
    fi
    if [ "$status" -ne 0 ]; then
        lanes_failed+=("$name")
        return 1
    fi
}

lanes_wait() {
    while [ ${#lane_name_of[@]} -gt 0 ]; do
        lanes_wait_one || true
    done
    [ ${#lanes_failed[@]} -eq 0 ] || { echo "failed: ${lanes_failed[*]}"; return 1; }
}

lanes_stop() {
    local pid
    for pid in "${!lane_name_of[@]}"; do
        kill -TERM -- "-$pid" 2>/dev/null || true
    done
    for pid in "${!lane_name_of[@]}"; do
        wait "$pid" 2>/dev/null || true
        section_say "-- [$(run_clock)] ${lane_name_of[$pid]}: stopped"
        lanes_ended+=("${lane_name_of[$pid]}")
        lanes_failed+=("${lane_name_of[$pid]} (stopped)")
        unset "lane_name_of[$pid]"
    done
}

lane_print_log() {
    echo
    echo "======== $1 ========"
    cat "$lane_dir/$1.log"
}

# lanes_print_logs: every ended lane's log, in the order they ended.
lanes_print_logs() {
    local name
    for name in "${lanes_ended[@]}"; do
        lane_print_log "$name"
    done
}

# priority first|test|build|background: what this lane runs from now on.
# Builds yield the cores to tests, which mostly wait but then want a core at
# once (a browser's answer, a Wine window), and a background build yields to
# the other builds too; the tests that type into a real X server (whose key
# maps a loaded machine can race) come first of all. The lane's session, and
# what this shell starts, get that priority (the session only when this shell
# leads it, as a lane does: never a terminal's). Going up needs root;
# elsewhere the priority stays where it was.
priority() {
    local n=0 stat
    case $1 in first) n=-5 ;; build) n=10 ;; background) n=19 ;; esac
    stat=$(cat /proc/$$/stat)
    read -r _ _ _ session _ <<<"${stat##*) }"
    if [ "$session" = "$$" ]; then
        echo "$n" >/proc/self/autogroup 2>/dev/null || true
    fi
    renice -n "$n" -p $$ >/dev/null 2>&1 || true
}
