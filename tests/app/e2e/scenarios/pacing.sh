# pacing.sh -- the loop keeps 60 passes a second, and a stopped game resumes without a burst.
# Sourced by e2e; uses its helpers and variables ($game_pid, $work, fail, ...).
# shellcheck shell=bash disable=SC2154  # the variables come from e2e

# stats_of: "FRAMES SECONDS" from the stats line on the game's stderr.
stats_of() {
    local line
    line=$(grep -E '^Vantorix: [0-9]+ frames in [0-9.]+ s \([0-9.]+ fps\)$' "$work/stderr") ||
        fail "no stats line"
    echo "$line" >>"$artefacts/stats.txt"
    sed -E 's/^Vantorix: ([0-9]+) frames in ([0-9.]+) s .*/\1 \2/' <<<"$line"
}

# Stopped for 2 s, the game has missed 120 passes; it must not race through them on waking.
scenario_pacing_stop() {
    start_display
    start_game "$source_dir" VANTORIX_STATS=1
    local stopped_at resumed_at
    stopped_at=$(date +%s%N)
    kill -STOP "$game_pid"
    sleep 2
    kill -CONT "$game_pid"
    resumed_at=$(date +%s%N)
    sleep 2
    xdotool key Escape
    expect_exit 27
    local frames seconds
    read -r frames seconds < <(stats_of)
    local stopped_ms=$(((resumed_at - stopped_at) / 1000000))
    echo "$frames frames in $seconds s, $stopped_ms ms of it stopped" | tee "$artefacts/result.txt"
    # A burst would add the 120 missed frames. A loaded machine may draw fewer than 60 a
    # second, which is no fault here.
    awk -v f="$frames" -v s="$seconds" -v stop="$stopped_ms" 'BEGIN {
        running = s - stop / 1000
        exit !(running > 1 && f > 0 && f <= 60 * running + 10) }' ||
        fail "expected at most 60 frames a second of running time: $frames in $seconds s"
}
