#!/usr/bin/env bash
# Renders the pictures of docs/ for the README and the metainfo: the main
# window, the programming log after F6 and F9, and the configuration dialog.
# Builds the program first (scripts/setup.sh), then drives it under an Xvfb of
# its own with xdotool, from a folder in /tmp with a prepared INI file and the
# substitute tool, and captures each window with ImageMagick's import.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v import >/dev/null || { echo "ImageMagick's import is needed (apt-get install imagemagick)" >&2; exit 1; }
bash scripts/setup.sh >/dev/null

# A fixed folder, so the paths the windows show stay the same from run to run.
work=/tmp/dranelwisp-demo
rm -rf "$work"
mkdir -m 700 "$work"
source scripts/xsession.sh
trap 'xsession_end "$work"' EXIT

# The program reads the INI file beside it; hex files to choose from, a folder
# for the read-back files.
cp build/dranelwisp build/xwisp2w "$work/"
mkdir "$work/pic" "$work/read" "$work/home"
mkdir -m 700 "$work/run"
for name in blink traffic-light servo-pwm; do printf ':00000001FF\n' >"$work/pic/$name.hex"; done
cat >"$work/dranelwisp.ini" <<INI
[DranelWispConfig]
WispProgram=$work/xwisp2w
Port=1
Baud=19200
Verbose=1
ReadOutputDir=$work/read/
[MRU]
MRU_1=$work/pic/blink.hex
MRU_2=$work/pic/traffic-light.hex
MRU_3=$work/pic/servo-pwm.hex
INI

export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run
xsession_start "$work"

shot() { # lets the window paint, then captures it without time stamps
    sleep 1
    import -window "$1" -strip -define png:exclude-chunks=date,time "docs/$2"
    echo "docs/$2"
}

mkdir -p docs
# No terminal emulator on the PATH: the tool runs without a window of its own
# that could cover the ones captured.
PATH=/nonexistent "$work/dranelwisp" >/dev/null 2>&1 &
app=$!
main=$(window 'Dranel-Wisp Command Interface')
shot "$main" main-window.png
keys "$main" F6 F9 F4
log=$(window 'Programming Log')
shot "$log" programming-log.png
keys "$main" F2
dialog=$(window 'Programming software and settings')
shot "$dialog" configuration.png
keys "$dialog" Escape
keys "$main" alt+f x
wait "$app"
app=
