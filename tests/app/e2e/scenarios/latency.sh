# latency.sh -- keys, closing and signals act at once, however busy the pointer is.
# Sourced by e2e; uses its helpers and variables ($window, $game_pid, $probe, fail, ...).
# shellcheck shell=bash disable=SC2154  # the variables come from e2e
#
# "At once" is counted in passes, not in milliseconds, so that a busy machine cannot fail it: the
# game draws at most 60 frames a second, so up to the moment a key is sent it cannot have drawn
# more than 60 for each second since it was started. Every frame past that count came after the
# key, and a game that handled each pointer move in a pass of its own would draw one for each
# move queued ahead of the key: hundreds. The stats line tells the frames drawn.

burst_moves=600
# The passes a key may take once it has been sent: the pointer move merged ahead of it, the key
# itself, and a few for the frames that were due as it came.
passes_after_key=30
# Continuous motion: one move every 4 ms asked for (xdotool's own work comes on top).
motion_pause=0.004
motion_moves=2500
# A turn changes this many 10x10 blocks of the snake region from one frame to the next; the
# slow glide changes one or two.
turn_blocks=20
# How long a change of the picture is waited for once a key has gone: a limit for a game that
# never answers, not a measure of speed.
answer_limit_s=30

now_s() { echo "$EPOCHREALTIME"; }

# The game as the player meets it, with its stats line: the leak check that the sanitized build
# runs at exit scans the GL driver's heap for a few hundred milliseconds, and the other scenarios
# make it. $launched_at becomes the time it was started.
start_timed_game() {
    launched_at=$(now_s)
    start_game "$source_dir" ASAN_OPTIONS="$ASAN_OPTIONS:detect_leaks=0" VANTORIX_STATS=1
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
    wait_until 30 "x11probe $1 did not start listening" test -s "$work/listener"
}

# heard: waits for the listener; $heard_line becomes its result line.
heard() {
    local result=0
    wait "$listener_pid" || result=$?
    listener_pid=""
    ((result == 0)) || fail "x11probe saw no key, or no answer to it (status $result)"
    heard_line=$(sed -n 2p "$work/listener")
}

# ended_soon_after EXPECTED WHAT: waits for the game to end after the event sent at $sent_at, and
# fails unless it ends with EXPECTED having drawn at most $passes_after_key frames more than it
# could have drawn before $sent_at.
ended_soon_after() {
    local expected=$1 what=$2 watchdog finished
    sleep "$answer_limit_s" &
    watchdog=$!
    set +e
    wait -n -p finished "$game_pid" "$watchdog"
    status=$?
    set -e
    local ended_at
    ended_at=$(now_s)
    kill "$watchdog" 2>/dev/null || true
    wait "$watchdog" 2>/dev/null || true
    if [[ $finished != "$game_pid" ]]; then
        kill -9 "$game_pid" 2>/dev/null || true
        wait "$game_pid" 2>/dev/null || true
        game_pid=""
        fail "$what: the game did not end within $answer_limit_s s"
    fi
    game_pid=""
    cp "$work/stderr" "$artefacts/stderr-${what// /-}.txt"
    [[ $status == "$expected" ]] || fail "$what: exit status $status, expected $expected"
    if grep -Eq 'Sanitizer|runtime error' "$work/stderr"; then fail "$what: sanitizer report"; fi
    local line frames late
    line=$(grep -E '^Vantorix: [0-9]+ frames in' "$work/stderr") || fail "$what: no stats line"
    frames=$(sed -E 's/^Vantorix: ([0-9]+) frames.*/\1/' <<<"$line")
    late=$(awk -v f="$frames" -v a="$launched_at" -v b="$sent_at" 'BEGIN {
        late = f - int(60 * (b - a)) - 2
        print (late > 0 ? late : 0) }')
    echo "$what: ended with status $status $(awk -v a="$sent_at" -v b="$ended_at" \
        'BEGIN { printf "%d", (b - a) * 1000 }') ms after it was sent; $line;" \
        "$late frames more than it could draw before it" | tee -a "$artefacts/result.txt"
    ((late <= passes_after_key)) ||
        fail "$what: $late frames were drawn after it was sent, more than $passes_after_key"
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
    sent_at=$(now_s)
    xdotool key Escape
    ended_soon_after 27 "Escape after $burst_moves moves"
}

# While the pointer keeps moving, an arrow key turns the snake. The turn is seen from outside, as
# the first sudden change of the snake region after the key arrived; how long it took is
# reported. That the key did not wait behind the moves is motion-quit's to show, in passes.
scenario_motion_turn() {
    start_display
    start_timed_game
    start_motion
    # Time for a backlog of moves to build in a game that would not merge them.
    sleep 2
    listen watch "$window" "${snake_region[@]}" "$turn_blocks" "$answer_limit_s"
    xdotool key Up
    heard
    local pressed changed blocks
    read -r pressed changed blocks <<<"$heard_line"
    stop_motion
    echo "pointer moving: Up showed after $(((changed - pressed) / 1000000)) ms" \
        "($blocks blocks changed)" | tee -a "$artefacts/result.txt"
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
    sent_at=$(now_s)
    "$@"
    ended_soon_after "$expected" "$what while the pointer moves"
    stop_motion
}

send_signal() { kill -s "$1" "$game_pid"; }
close_window() { "$probe" close "$window"; }
press() { xdotool key "$1"; }

scenario_motion_quit() {
    start_display
    quit_while_moving Escape 27 press Escape
    quit_while_moving SIGTERM 0 send_signal TERM
    quit_while_moving SIGINT 0 send_signal INT
    quit_while_moving close 0 close_window
}
