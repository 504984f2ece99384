# windows.sh -- the Windows game (the cross-built vantorix.exe) under Wine on e2e's private Xvfb,
# and what the exe itself holds. Sourced by e2e; $game is the exe. Wine's windows are X11
# windows, so the helpers of e2e work as they do for the Linux game. A missing Wine or exe is
# a failure, not a skip: `make test` installs the one and builds the other.
# shellcheck shell=bash disable=SC2154,SC2034  # the variables are e2e's

wine_loader=/usr/lib/wine/wine64
wine_server=/usr/lib/wine/wineserver
mingw_objdump=x86_64-w64-mingw32-objdump
# No debugging chatter on stderr, and no offer to install .NET or a browser engine.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

need_exe() {
    [[ -n $game && -f $game ]] ||
        fail "no Windows game at '$game' (make test cross-builds it into build/windows)"
}

need_wine() {
    need_exe
    [[ -x $wine_loader && -x $wine_server ]] ||
        fail "Wine is not installed (scripts/install-deps windows installs it)"
    [[ -n ${WINEPREFIX:-} ]] || fail "WINEPREFIX names no Wine prefix"
}

# Ends every Windows process of the prefix and its server, so that the next scenario starts a
# fresh one on its own display.
stop_wine() {
    "$wine_server" -k 2>/dev/null || true
    "$wine_server" -w 2>/dev/null || true
}

# start_wine: this scenario's display, with the game run by Wine in the shared prefix.
start_wine() {
    need_wine
    [[ -f $WINEPREFIX/system.reg ]] || fail "no Wine prefix in $WINEPREFIX (windows-prefix makes it)"
    stop_wine
    trap 'stop_wine; cleanup' EXIT
    launcher=("$wine_loader")
    start_display
}

# The prefix is made once per test run (CTest's fixture) and shared by the scenarios after it.
scenario_windows_prefix() {
    need_wine
    rm -rf "$WINEPREFIX"
    local started=$SECONDS
    # Making it needs no display and opens no window.
    env -u DISPLAY "$wine_loader" wineboot --init >"$artefacts/wineboot.log" 2>&1 ||
        fail "wineboot failed: $(tail -n 5 "$artefacts/wineboot.log")"
    "$wine_server" -w
    [[ -f $WINEPREFIX/system.reg ]] || fail "wineboot made no prefix in $WINEPREFIX"
    echo "Wine prefix made in $((SECONDS - started)) s" | tee "$artefacts/result.txt"
}

# A windowed program (no console beside the game) that needs no DLL beyond Windows' own, with
# its icon and the project's version.
scenario_windows_exe() {
    need_exe
    command -v "$mingw_objdump" >/dev/null || fail "$mingw_objdump is not installed"
    "$mingw_objdump" -p "$game" >"$artefacts/objdump.txt" || fail "objdump cannot read $game"
    grep -Eq '^Subsystem[[:space:]]+00000002' "$artefacts/objdump.txt" ||
        fail "not a windowed program: $(grep '^Subsystem' "$artefacts/objdump.txt")"
    local dlls dll
    dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' "$artefacts/objdump.txt" | tr '[:upper:]' '[:lower:]' |
        sort)
    echo "imports: $(paste -sd ' ' <<<"$dlls")" | tee "$artefacts/result.txt"
    for dll in $dlls; do
        case $dll in
            kernel32.dll | user32.dll | gdi32.dll | opengl32.dll | glu32.dll | winmm.dll | \
                msvcrt.dll | ucrtbase.dll | api-ms-win-crt-*.dll | advapi32.dll) ;;
            *) fail "imports $dll, which is not part of Windows" ;;
        esac
    done
    # GL and GLU from the system, and the timer whose resolution keeps the passes on time.
    for dll in opengl32.dll glu32.dll winmm.dll; do
        grep -qx "$dll" <<<"$dlls" || fail "does not import $dll"
    done
    # Resource types: 3 the icon's pictures, 14 the icon, 16 the version.
    local type
    for type in 3 e 10; do
        grep -Eq "^0[0-9a-f]+ +Entry: ID: 0x0000$(printf '%02x' "0x$type")," \
            "$artefacts/objdump.txt" || fail "no resource of type 0x$type"
    done
    strings -el "$game" | grep -A1 -x ProductVersion | grep -qx "${VANTORIX_VERSION:?}" ||
        fail "the version resource does not give $VANTORIX_VERSION"
}

# Started from a folder without textures, the game finds those beside the exe and draws the
# scene; an arrow turns the snake, a digit changes the view, the picture follows the window's
# size, and Escape ends it with 27.
scenario_windows_play() {
    start_wine
    mkdir -p "$work/elsewhere"
    start_game "$work/elsewhere"
    shot start
    local hearts
    hearts=$(hearts_in start)
    ((hearts > 1000)) || fail "no hearts in the top-right corner ($hearts red pixels)"

    echo "hearts: $hearts red pixels" | tee "$artefacts/result.txt"
    up_turns_the_snake shot "${snake_region[@]}"

    settle view1
    view_changes_after 3 view1 view3

    # Wider: the viewport and the projection follow, and the hearts move right, past where the
    # old viewport ended; a viewport left at the old size would draw nothing there.
    local old_width
    old_width=$(head -c 20 "$artefacts/view3.ppm" | sed -n 2p | cut -d' ' -f1)
    xdotool windowsize --sync "$window" 1000 600
    wait_until 30 "the picture did not follow the new size 1000x600" \
        hearts_past resized "$old_width"
    echo "at 1000x600: $("$probe" red "$artefacts/resized.ppm" "$old_width" 0 \
        $((1000 - old_width)) 60) red heart pixels right of x $old_width" |
        tee -a "$artefacts/result.txt"

    xdotool key Escape
    expect_exit 27
    if grep -q 'cannot load\|found none' "$work/stderr"; then fail "the textures were not found"; fi
}

# hearts_past NAME X: takes the screenshot NAME; true when it is 1000x600 and shows red heart
# pixels right of X, where a viewport left at the old size would draw nothing.
hearts_past() {
    shot "$1"
    [[ $(head -c 20 "$artefacts/$1.ppm" | sed -n 2p) == "1000 600" ]] &&
        (($("$probe" red "$artefacts/$1.ppm" "$2" 0 $((1000 - $2)) 60) > 300))
}

# --version is answered before any window opens; q, Q and the window manager's close end the
# game with 113, 81 and 0; the first run also keeps to at most 60 passes a second.
scenario_windows_quit() {
    start_wine
    local answer
    answer=$("$wine_loader" "$game" --version 2>"$work/stderr" | tr -d '\r') ||
        fail "--version ended with a failure"
    [[ $answer == "vantorix ${VANTORIX_VERSION:?}" ]] || fail "--version answered '$answer'"

    # A game that races (no pacing: hundreds a second) goes over the cap; how fast a busy machine
    # draws is the benchmark's to tell.
    local line frames seconds fps
    start_game "$source_dir" VANTORIX_STATS=1
    sleep 4
    xdotool type q
    expect_exit 113
    line=$(grep -E '^Vantorix: [0-9]+ frames in [0-9.]+ s \([0-9.]+ fps\)' "$work/stderr" |
        tr -d '\r') || fail "no stats line"
    echo "$line" | tee "$artefacts/result.txt"
    read -r frames seconds fps < <(sed -E 's/^Vantorix: ([0-9]+) frames in ([0-9.]+) s \(([0-9.]+) fps\).*/\1 \2 \3/' <<<"$line")
    awk -v f="$frames" -v s="$seconds" -v r="$fps" 'BEGIN {
        exit !(f > 0 && s >= 4 && r <= 62) }' ||
        fail "expected the frames of 4 s or more at no more than 60 a second: $line"

    start_game "$source_dir"
    xdotool type Q
    expect_exit 81

    start_game "$source_dir"
    "$probe" close "$window" || fail "cannot send the close request"
    expect_exit 0
}

# make_windows NAME: `make windows` in this scenario's own build and output folders, dated by the
# changelog as a plain run is; prints the zip's path.
make_windows() {
    env -u SOURCE_DATE_EPOCH -u MAKEFLAGS -u MAKELEVEL make -s -C "$source_dir" windows \
        WINDOWS_DIR="$work/$1" WINDOWS_OUT="$work/$1-out" JOBS=2 >"$artefacts/$1.log" 2>&1 ||
        fail "make windows: $(tail -n 20 "$artefacts/$1.log")"
    echo "$work/$1-out/vantorix-${VANTORIX_VERSION:?}-win64.zip"
}

# windows_path PATH: the path as the game under Wine sees it, on drive Z:.
windows_path() { echo "Z:${1//\//\\}"; }

# textures_found: the run that just ended named no missing texture.
textures_found() {
    if grep -q 'cannot load\|found none' "$work/stderr"; then
        fail "the textures were not found: $(tr -d '\r' <"$work/stderr")"
    fi
}

# The zip that players download: two `make windows` runs in two build folders give the same
# bytes. Unpacked into a folder whose name no ANSI code page holds, the game finds its textures
# there, started from that folder and from another; there too, hostile texture files are each
# named by their Windows path with one separator, in UTF-8, on stderr and at a command prompt,
# and Escape still ends it with 27.
scenario_windows_zip() {
    need_wine
    local zip again
    zip=$(make_windows build)
    again=$(make_windows build-again)
    [[ -f $zip ]] || fail "make windows made no $zip"
    (cd "$work" && sha256sum "${zip#"$work/"}" "${again#"$work/"}") | tee "$artefacts/result.txt"
    cmp -s "$zip" "$again" ||
        fail "two builds differ: $(diff <(cmake -E tar tvf "$zip") <(cmake -E tar tvf "$again"))"

    local folder=$work/Łódź-日本
    mkdir -p "$folder" "$work/elsewhere"
    (cd "$folder" && cmake -E tar xf "$zip") || fail "cannot unpack $zip"
    game=$folder/vantorix.exe
    start_wine
    start_game "$work/elsewhere"
    shot from-elsewhere
    xdotool key Escape
    expect_exit 27
    textures_found
    start_game "$folder"
    shot from-its-folder
    xdotool key Escape
    expect_exit 27
    textures_found
    echo "textures found in $folder, started from there and from elsewhere" |
        tee -a "$artefacts/result.txt"

    local textures
    textures=$(windows_path "$folder")\\textures
    rm "$folder/textures/bg.bmp" "$folder/textures/face.bmp"
    mkdir "$folder/textures/bg.bmp"
    head -c 100 /dev/zero | tr '\0' x >"$folder/textures/box.bmp"
    start_game "$work/elsewhere"
    xdotool key Escape
    expect_exit 27
    tr -d '\r' <"$work/stderr" >"$artefacts/hostile.txt"
    local expected
    for expected in "$textures\\bg.bmp: not a regular file" "$textures\\box.bmp: not a BMP file" \
        "$textures\\face.bmp: no such file"; do
        grep -qxF "Vantorix: cannot load $expected" "$artefacts/hostile.txt" ||
            fail "no line 'Vantorix: cannot load $expected'"
    done
    [[ $(grep -c 'cannot load' "$artefacts/hostile.txt") -eq 3 ]] ||
        fail "expected three files named: $(cat "$artefacts/hostile.txt")"
    cat "$artefacts/hostile.txt" >>"$artefacts/result.txt"

    # Started from a command prompt (Wine's cmd on a terminal of its own, wide enough for the
    # line), the game writes the same messages there, the folder's name intact.
    launcher=(script -qef -O "$work/console.txt" -c)
    game="stty cols 250; $wine_loader cmd /c vantorix.exe"
    start_game "$folder"
    xdotool key Escape
    expect_exit 27
    sed 's/\x1b\[[0-9;?]*[a-zA-Z]//g' "$work/console.txt" | tr -d '\r' >"$artefacts/console.txt"
    grep -qxF "Vantorix: cannot load $textures\\face.bmp: no such file" "$artefacts/console.txt" ||
        fail "not at the prompt's console as written: $(grep 'cannot load' "$artefacts/console.txt")"
    echo "at the prompt: $(grep -c 'cannot load' "$artefacts/console.txt") files named" |
        tee -a "$artefacts/result.txt"
}
