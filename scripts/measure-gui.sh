#!/usr/bin/env bash
# Measures the desktop program: the time from start to the painted main window with a start-up
# list of 100 000 items (under Xvfb when it is installed, else offscreen), and the NEW scan of
# 10 000 cached files through the main window (event gaps, time against `sonalog scan`). Prints
# the machine's load first: the figures mean little on a busy machine.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${SONALOG_BUILD_DIR:-build}"
cmake --build "$build_dir" -j2 --target sonalog sonalog-gui bench_gui >/dev/null
uptime
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build_dir/bench_gui" list "$work/big.snlg" 100000
run_gui() { SONALOG_HOME="$work/home" SONALOG_EXIT_AFTER_PAINT=1 SONALOG_SCRIPTED_UI=1 "$@"; }
mkdir -p "$work/home"
echo "Start to painted main window, 100 000-item list (5 runs; wall time of the whole process):"
for _ in 1 2 3 4 5; do
  t0=$(date +%s%N)
  if command -v xvfb-run >/dev/null 2>&1; then
    inner=$(run_gui xvfb-run -a -s "-screen 0 1280x800x24" "$build_dir/sonalog-gui" "$work/big.snlg")
  else
    inner=$(QT_QPA_PLATFORM=offscreen run_gui "$build_dir/sonalog-gui" "$work/big.snlg")
  fi
  t1=$(date +%s%N)
  echo "  $inner; process $(( (t1 - t0) / 1000000 )) ms (xvfb-run's own start included)"
done
QT_QPA_PLATFORM=offscreen "$build_dir/bench_gui" scan
