# assets.sh -- e2e scenarios for the textures: what the game reads, and from which folder.
# Sourced by e2e, which provides start_display, start_game, expect_exit, fail and $work.
# shellcheck shell=bash disable=SC2154,SC2034  # the variables are e2e's

# Something that is not a regular file in place of box.bmp: the game neither blocks nor reads
# it, says so in one line naming the file in full, and plays on with the seven others.
scenario_texture_not_regular() {
    start_display
    local kind folder box writer expected
    for kind in fifo fifo-with-silent-writer folder link-to-dev-zero; do
        folder=$work/$kind
        mkdir -p "$folder"
        cp -r "$source_dir/textures" "$folder/"
        box=$folder/textures/box.bmp
        rm "$box"
        writer=""
        case $kind in
            fifo) mkfifo "$box" ;;
            fifo-with-silent-writer)
                mkfifo "$box"
                # Holds the FIFO open and never writes; ends by itself should the test fail.
                sleep 60 <>"$box" >/dev/null 2>&1 &
                writer=$!
                ;;
            folder) mkdir "$box" ;;
            link-to-dev-zero) ln -s /dev/zero "$box" ;;
        esac
        start_game "$folder"
        xdotool key Escape
        expect_exit 27
        if [[ -n $writer ]]; then kill "$writer" 2>/dev/null || true; fi
        expected="Vantorix: cannot load $(cd "$folder" && pwd -P)/textures/box.bmp: not a regular file"
        [[ $(grep '^Vantorix:' "$work/stderr") == "$expected" ]] ||
            fail "$kind: expected the one line '$expected'"
    done
}

# A textures folder of something else in the working directory, or an empty one, does not
# hide the installed pictures.
scenario_unrelated_textures() {
    local prefix=$work/prefix
    "${CMAKE:-cmake}" --install "$build_dir" --prefix "$prefix" >"$artefacts/install.log" ||
        fail "cmake --install failed"
    game=$prefix/bin/vantorix
    mkdir -p "$work/empty/textures" "$work/unrelated/textures"
    echo "holiday pictures" >"$work/unrelated/textures/notes.txt"
    cp "$source_dir/textures/bg.bmp" "$work/unrelated/textures/beach.bmp"
    start_display
    local folder
    for folder in empty unrelated; do
        start_game "$work/$folder"
        xdotool key Escape
        expect_exit 27
        if grep -q '^Vantorix:' "$work/stderr"; then
            fail "started from an $folder textures folder: $(cat "$work/stderr")"
        fi
    done
}
