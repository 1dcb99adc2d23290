#!/usr/bin/env bash
# Takes the user guide's screenshots (docs/guide/*.png) of the real windows under Xvfb at 1280x800:
# the demo collection scanned in the main window, the options window, the viewer, the duplicates
# search and the compare options. Installs Xvfb, xdotool and ImageMagick when missing and builds
# the two programs first. Look at every picture before committing it.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${SONALOG_BUILD_DIR:-build}"
if [ -z "${SONALOG_GUIDE_IN_XVFB:-}" ]; then
  SONALOG_EXTRA_PACKAGES="xvfb xauth xdotool imagemagick" SONALOG_BUILD_TARGETS="sonalog sonalog-gui" \
    ./scripts/setup.sh
  exec env SONALOG_GUIDE_IN_XVFB=1 xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
fi

guide=$PWD/docs/guide
sonalog=$PWD/$build_dir/sonalog
gui=$PWD/$build_dir/sonalog-gui
# The collection's folder shows in the windows, and the folder list shows its neighbours: give a
# folder whose parents hold little else (SONALOG_GUIDE_MUSIC, made afresh).
music=${SONALOG_GUIDE_MUSIC:-/tmp/sonalog-guide/Music}
rm -rf "$music"
mkdir -p "$(dirname "$music")"
export SONALOG_HOME
SONALOG_HOME=$(mktemp -d)
"$sonalog" demo "$music" >/dev/null
# The main window starts on the collection and takes the two damaged files in with unknown values
# rather than asking about each; the viewer shows the channel mode, sampling rate and folder too.
"$sonalog" config --set mainFolder="$music" --set erroractioncombo=2 --set ListLoadCombo=0 \
  --set CheckStereo=1 --set CheckFreq=1 --set CheckPath=1 \
  --set viewerSize.width=1100 --set viewerSize.height=640 >/dev/null

gui_pid=""
cleanup() {
  [ -n "$gui_pid" ] && kill "$gui_pid" 2>/dev/null
  rm -rf "$SONALOG_HOME"
}
trap cleanup EXIT

# window TITLE: the id of the visible window whose title matches TITLE, waiting until it shows.
window() {
  local id
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "guide-screenshots: no window \"$1\" appeared" >&2
  return 1
}
# keys WINDOW KEY...: focuses the window and types the keys.
keys() {
  local id=$1
  shift
  xdotool windowfocus --sync "$id"
  sleep 0.3
  xdotool key --delay 80 "$@"
  sleep 0.8
}
shot() {
  sleep 0.5
  import -window "$1" "$guide/$2.png"
  echo "wrote docs/guide/$2.png"
}

"$gui" &
gui_pid=$!
main=$(window "^ mp3 Sonalog$")
keys "$main" alt+n
sleep 2
shot "$main" main-window

keys "$main" alt+o
options=$(window "[Oo]ptions")
shot "$options" options-window
keys "$options" Escape

keys "$main" alt+v
viewer=$(window "Internal list viewer")
shot "$viewer" viewer

keys "$viewer" alt+u
predup=$(window "Duplicates search options")
shot "$predup" duplicates-options
keys "$predup" alt+g
sleep 3
run=$(xdotool search --onlyvisible --name "Finished|Searching|[Dd]uplicates" | grep -v "^$predup$" | tail -n 1)
shot "$run" duplicates-run
keys "$run" Escape

keys "$viewer" alt+c
precomp=$(window "Compare options")
shot "$precomp" compare-options
keys "$precomp" Escape
