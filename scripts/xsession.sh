# Sourced by scripts that drive the program from outside: an Xvfb of their
# own and xdotool helpers.
#   xsession_start FOLDER  starts Xvfb (its pipe goes into FOLDER), sets
#                          DISPLAY and xvfb (the server's process id)
#   window CAPTION         prints the visible window of exactly this caption
#                          once it shows; fails after 30 s, or at once when
#                          the program $app (if set) has ended
#   keys WINDOW KEY...     gives the window the focus and types the keys
#   xsession_end FOLDER    ends the program $app and the Xvfb, removes FOLDER
#                          (for the caller's EXIT trap)

app=
xvfb=

xsession_start() {
    # Xvfb picks a free display and writes its number into the pipe. Without
    # -noreset it would restart whenever its last client leaves and refuse a
    # program that connects meanwhile.
    mkfifo "$1/display"
    Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$1/display" 2>/dev/null &
    xvfb=$!
    local number
    read -r -t 30 number <"$1/display" || { echo "FAIL: Xvfb did not start" >&2; return 1; }
    export DISPLAY=:$number QT_QPA_PLATFORM=xcb
    unset WAYLAND_DISPLAY
}

window() {
    for _ in $(seq 300); do
        xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 | grep . && return
        [ -z "${app:-}" ] || kill -0 "$app" 2>/dev/null || break
        sleep 0.1
    done
    echo "FAIL: no window \"$1\" showed" >&2
    return 1
}

# Without a window manager, keys reach only the window with the focus.
keys() {
    xdotool windowfocus --sync "$1"
    for _ in $(seq 100); do [ "$(xdotool getwindowfocus)" = "$1" ] && break; sleep 0.1; done
    xdotool key --delay 100 "${@:2}"
}

xsession_end() {
    [ -z "$app" ] || kill "$app" 2>/dev/null || true
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    rm -rf "$1"
}
