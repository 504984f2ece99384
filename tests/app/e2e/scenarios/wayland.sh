# wayland.sh -- the game as a native Wayland client of Weston, which runs nested in the private
# Xvfb with its X11 backend (the headless backend offers no seat, which SDL cannot do without).
# Sourced by e2e, which sets the run's variables (work, game, probe, artefacts...).
# shellcheck shell=bash disable=SC2154

# Weston's desktop: a plain backdrop of this colour, no panel, no animations, no blanking. The
# output fits in Xvfb's screen and holds the game's window and its frame with room to spare.
weston_backdrop=ffffff
weston_width=960
weston_height=720
weston_socket=vantorix-e2e
weston_window=""
# Where Weston put the game's window, its frame included: "X Y W H" in the output.
frame_box=""

# A missing compositor is a missing test dependency, not a fault of the game.
skip_without_weston() {
    command -v weston >/dev/null && return
    echo "e2e $scenario: SKIP: weston is not installed (scripts/install-deps has it for the tests)"
    exit 77
}

write_weston_config() {
    cat >"$work/weston.ini" <<INI
[core]
idle-time=0

[shell]
background-image=
background-color=0xff$weston_backdrop
panel-position=none
locking=false
animation=none
close-animation=none
startup-animation=none
focus-animation=none

[input-method]
path=
INI
}

weston_shot() { "$probe" shot "$weston_window" "$artefacts/$1"; }

# Weston is ready once its shell has painted the backdrop: nothing stands out from it yet. It
# composes with pixman: the game's frames come in shared memory either way (there is no GPU),
# and pixman leaves the processor to the game and the other tests.
start_weston() {
    mkdir -m 700 "$work/runtime"
    write_weston_config
    rm -f "$artefacts/weston.log"
    XDG_RUNTIME_DIR=$work/runtime weston --backend=x11-backend.so --use-pixman \
        --shell=desktop-shell.so --socket="$weston_socket" \
        --width="$weston_width" --height="$weston_height" \
        --config="$work/weston.ini" --log="$artefacts/weston.log" >"$artefacts/weston.out" 2>&1 &
    wm_pid=$!
    local _ desktop="none"
    for _ in $(seq 150); do
        kill -0 "$wm_pid" 2>/dev/null ||
            fail "Weston ended: $(tail -n 5 "$artefacts/weston.log" "$artefacts/weston.out")"
        [[ -n $weston_window ]] ||
            weston_window=$(xdotool search --class '^Weston Compositor$' | head -n 1) || true
        # A window not yet mapped cannot be read: try again.
        if [[ -n $weston_window ]] && weston_shot desktop 2>/dev/null; then
            desktop=$("$probe" box "$artefacts/desktop.ppm" "$weston_backdrop")
            [[ $desktop == "0 0 0 0" ]] && break
        fi
        sleep 0.4
    done
    [[ -n $weston_window ]] || fail "Weston opened no window"
    [[ $desktop == "0 0 0 0" ]] || fail "Weston's desktop did not appear"
    # Weston draws its pointer where the X pointer is: keep it in the output's corner, out of
    # the way. The keyboard follows the X input focus to Weston, and Weston passes it on to the
    # window it activated.
    xdotool mousemove $((weston_width - 1)) $((weston_height - 1))
    xdotool windowfocus --sync "$weston_window"
}

# start_wayland_game: runs the game on Weston (and nowhere else: no X display is named) and waits
# until its window stands out from the backdrop; sets $frame_box.
start_wayland_game() {
    : >"$work/stderr"
    (cd "$source_dir" && exec env -u DISPLAY SDL_VIDEODRIVER=wayland \
        XDG_RUNTIME_DIR="$work/runtime" WAYLAND_DISPLAY="$weston_socket" "$game") \
        2>"$work/stderr" >/dev/null &
    game_pid=$!
    local _
    frame_box="0 0 0 0"
    for _ in $(seq 120); do
        kill -0 "$game_pid" 2>/dev/null || fail "the game ended before its window appeared"
        weston_shot start
        frame_box=$("$probe" box "$artefacts/start.ppm" "$weston_backdrop")
        [[ $frame_box != "0 0 0 0" ]] && break
        sleep 0.5
    done
    [[ $frame_box != "0 0 0 0" ]] || fail "no window appeared on Weston"
    # Start-up is over once a frame of the game shows the hearts in the window.
    wait_until 60 "no frame of the game appeared on Weston" wayland_frame_shown
}

# wayland_frame_shown: takes the screenshot "window"; true once what stands out from the backdrop
# holds the hearts' red. Sets $frame_box.
wayland_frame_shown() {
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended before it showed a frame"
    weston_shot window
    frame_box=$("$probe" box "$artefacts/window.ppm" "$weston_backdrop")
    local x y w h
    read -r x y w h <<<"$frame_box"
    ((w > 0 && h > 0)) && (($("$probe" red "$artefacts/window.ppm" "$x" "$y" "$w" "$h") > 1000))
}

# libdecor draws the frame: a title bar above the client area, which SDL makes 800x600.
scenario_wayland() {
    skip_without_weston
    start_display
    start_weston
    start_wayland_game
    local x y w h
    read -r x y w h <<<"$frame_box"
    local title=$((h - 600))
    echo "window with its frame at $x,$y ${w}x$h; title bar $title px" | tee "$artefacts/result.txt"
    # Weston places the client area, the title bar goes above it: it may be cut off at the top.
    ((y > 0)) || fail "the window's frame runs off the output's top edge: $frame_box"
    if grep -q 'No plugins found' "$work/stderr"; then
        fail "libdecor found no plugin to draw the title bar (libdecor-0-plugin-1-cairo)"
    fi
    ((w == 800)) || fail "the window is ${w} px wide, expected 800"
    ((title >= 16 && title <= 64)) || fail "no title bar above an 800x600 client area"

    # The scene where it belongs in the client area: three hearts at the top right.
    local top=$((y + title)) hearts
    hearts=$("$probe" red "$artefacts/window.ppm" $((x + 560)) "$top" 240 60)
    echo "red heart pixels: $hearts" | tee -a "$artefacts/result.txt"
    ((hearts > 1000)) || fail "no hearts at the client area's top right"

    # A click makes sure the game's surface has the keyboard, whatever the shell did when it
    # mapped the window. Then the first turn ends the slow glide: frames keep coming and the
    # snake moves off at once.
    xdotool mousemove $((x + 400)) $((top + 300)) click 1
    local snake=("$((x + snake_region[0]))" "$((top + snake_region[1]))" "${snake_region[@]:2}")
    up_turns_the_snake weston_shot "${snake[@]}"

    xdotool key Escape
    expect_exit 27

    # The compositor goes away under the game: that is a failure, not a quit.
    start_wayland_game
    kill -KILL "$wm_pid"
    wait "$wm_pid" 2>/dev/null || true
    wm_pid=""
    expect_exit 1
    grep -q '^Vantorix: lost the connection to the display: ' "$work/stderr" ||
        fail "the lost display was not reported"
    echo "compositor killed: status $status, $(grep '^Vantorix:' "$work/stderr")" |
        tee -a "$artefacts/result.txt"
}
