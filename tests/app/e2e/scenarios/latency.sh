# latency.sh -- keys, closing and signals act at once, however busy the pointer is.
# Sourced by e2e; uses its helpers and variables ($window, $game_pid, $probe, fail, ...).
# shellcheck shell=bash disable=SC2154  # the variables come from e2e

# The limits the game must keep on a loaded machine.
burst_moves=600
burst_escape_limit_ms=500
turn_limit_ms=200
quit_limit_ms=500
# Continuous motion: one move every 4 ms asked for (xdotool's own work comes on top).
motion_pause=0.004
motion_moves=2500
# A turn changes this many 10x10 blocks of the snake region from one frame to the next; the
# slow glide changes one or two.
turn_blocks=20

now_ns() { date +%s%N; }

# The game as the player meets it: the leak check that the sanitized build runs at exit scans
# the GL driver's heap for a few hundred milliseconds, and the other scenarios make it.
start_timed_game() {
    start_game "$source_dir" ASAN_OPTIONS="$ASAN_OPTIONS:detect_leaks=0"
}

# start_motion: moves the pointer over the window in the background ($motion_pid) until
# stop_motion, zig-zagging so that every move has a horizontal part.
motion_pid=""
start_motion() {
    local args=() i
    for ((i = 0; i < motion_moves; i++)); do
        args+=(mousemove --window "$window" $((100 + (i * 37) % 600)) $((100 + (i * 13) % 400))
            sleep "$motion_pause")
    done
    xdotool "${args[@]}" 2>/dev/null &
    motion_pid=$!
}

stop_motion() {
    [[ -n $motion_pid ]] || return 0
    kill "$motion_pid" 2>/dev/null || true
    wait "$motion_pid" 2>/dev/null || true
    motion_pid=""
}

# listen COMMAND...: starts an x11probe command that listens for keys in the background
# ($listener_pid, output in $work/listener) and returns once it listens.
listener_pid=""
listen() {
    "$probe" "$@" >"$work/listener" &
    listener_pid=$!
    for _ in $(seq 500); do
        [[ -s $work/listener ]] && return 0
        sleep 0.02
    done
    fail "x11probe $1 did not start listening"
}

# heard: waits for the listener; $heard_line becomes its result line.
heard() {
    local result=0
    wait "$listener_pid" || result=$?
    listener_pid=""
    ((result == 0)) || fail "x11probe saw no key, or no answer to it (status $result)"
    heard_line=$(sed -n 2p "$work/listener")
}

# press KEY: sends KEY; $sent_ns becomes the time the window got it once the game has ended.
press() {
    listen keypress "$window" 30
    xdotool key "$1"
}

# timed_exit EXPECTED LIMIT_MS WHAT: waits for the game to end after the event sent at
# $sent_ns (or the key sent with press), and fails unless it ends with EXPECTED within
# LIMIT_MS.
timed_exit() {
    local expected=$1 limit_ms=$2 what=$3 watchdog finished ended
    sleep 30 &
    watchdog=$!
    set +e
    wait -n -p finished "$game_pid" "$watchdog"
    status=$?
    set -e
    ended=$(now_ns)
    kill "$watchdog" 2>/dev/null || true
    wait "$watchdog" 2>/dev/null || true
    if [[ $finished != "$game_pid" ]]; then
        kill -9 "$game_pid" 2>/dev/null || true
        wait "$game_pid" 2>/dev/null || true
        game_pid=""
        fail "$what: the game did not end within 30 s"
    fi
    game_pid=""
    if [[ -n $listener_pid ]]; then
        heard
        sent_ns=$heard_line
    fi
    elapsed_ms=$(((ended - sent_ns) / 1000000))
    cp "$work/stderr" "$artefacts/stderr-${what// /-}.txt"
    echo "$what: ended with status $status after $elapsed_ms ms" | tee -a "$artefacts/result.txt"
    [[ $status == "$expected" ]] || fail "$what: exit status $status, expected $expected"
    if grep -Eq 'Sanitizer|runtime error' "$work/stderr"; then fail "$what: sanitizer report"; fi
    ((elapsed_ms <= limit_ms)) || fail "$what: took $elapsed_ms ms, more than $limit_ms ms"
}

# A burst of pointer moves is one pending move by the time the next key is looked at.
scenario_burst_escape() {
    start_display
    start_timed_game
    local moves=() i
    for ((i = 0; i < burst_moves; i++)); do
        moves+=(mousemove --window "$window" $((100 + (i * 37) % 600)) $((100 + (i * 13) % 400)))
    done
    xdotool "${moves[@]}"
    press Escape
    timed_exit 27 "$burst_escape_limit_ms" "Escape after $burst_moves moves"
}

# While the pointer keeps moving, an arrow key turns the snake within a few frames. The turn
# is seen from outside, as the first sudden change of the snake region after the key arrived.
scenario_motion_turn() {
    start_display
    start_timed_game
    start_motion
    sleep 2
    listen watch "$window" "${snake_region[@]}" "$turn_blocks" 20
    xdotool key Up
    heard
    local pressed changed blocks
    read -r pressed changed blocks <<<"$heard_line"
    stop_motion
    local latency_ms=$(((changed - pressed) / 1000000))
    echo "pointer moving: Up showed after $latency_ms ms ($blocks blocks changed)" |
        tee -a "$artefacts/result.txt"
    ((latency_ms <= turn_limit_ms)) || fail "the turn took $latency_ms ms, more than $turn_limit_ms ms"
    xdotool key Escape
    expect_exit 27
}

# quit_while_moving WHAT EXPECTED ACTION...: starts the game, moves the pointer for 2 s, then
# runs ACTION and expects the game to end with EXPECTED at once.
quit_while_moving() {
    local what=$1 expected=$2
    shift 2
    start_timed_game
    start_motion
    sleep 2
    sent_ns=$(now_ns)
    "$@"
    timed_exit "$expected" "$quit_limit_ms" "$what while the pointer moves"
    stop_motion
}

send_signal() { kill -s "$1" "$game_pid"; }
close_window() { "$probe" close "$window"; }

scenario_motion_quit() {
    start_display
    quit_while_moving Escape 27 press Escape
    quit_while_moving SIGTERM 0 send_signal TERM
    quit_while_moving SIGINT 0 send_signal INT
    quit_while_moving close 0 close_window
}
