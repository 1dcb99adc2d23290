#!/usr/bin/env bash
# Whole processes through the command line, side by side: the comparison of two lists of 20 000
# and of 100 000 names, the duplicates search of 100 000 to 1 000 000 names, `sonalog info` over
# 1 000 and 10 000 cached files, unusual files and four-minute files against a TagLib program,
# start-up on one file, and a scan of 2 000 distinct files with a cold page cache.
#
#   bench/side_by_side.sh [BUILD_DIR [OTHER_SONALOG]]
#
# BUILD_DIR (default build) holds sonalog, make_lists, make_odd_files and, when TagLib was found
# at configure time, taglib_info. OTHER_SONALOG, when given, is an earlier sonalog binary run on the same
# inputs beside the current one. Each line: what ran, wall seconds, user + system CPU seconds,
# peak memory. Dropping the page cache needs root; without it the cold scan says it skipped.
set -euo pipefail
build="${1:-build}"
other="${2:-}"
work="$(mktemp -d /tmp/sonalog-side-by-side.XXXXXX)"
trap 'rm -rf "$work"' EXIT
export SONALOG_HOME="$work/home"
mkdir -p "$SONALOG_HOME"

echo "# $(date -u '+%F %T') UTC, $(nproc) cores, load: $(cut -d' ' -f1-3 /proc/loadavg)"

# run LABEL COMMAND...: one timed process, its output discarded.
run() {
  local label="$1"
  shift
  /usr/bin/time -f "%e %U %S %M" -o "$work/time" "$@" >/dev/null 2>"$work/stderr" || true
  read -r wall user sys kb <"$work/time"
  printf '%-44s %7.2f s wall %7.2f s cpu %8.1f MB\n' "$label" "$wall" "$(echo "$user + $sys" | bc)" \
    "$(echo "scale=1; $kb / 1024" | bc)"
}

# Each binary to compare: the current one, and the other one when given.
binaries=("$build/sonalog")
[ -n "$other" ] && binaries+=("$other")

"$build/make_lists" "$work"
for bin in "${binaries[@]}"; do
  name="$(basename "$(dirname "$(readlink -f "$bin")")")/$(basename "$bin")"
  for threshold in 80 99; do
    run "$name compare list file @$threshold" "$bin" --set matchThreshold=$threshold --set compareWith=0 \
      --set compareAction=2 --set actionMode=0 compare "$work/internal20k.snlg" "$work/external20k.snlg" -o "$work/c.txt"
    run "$name compare text list @$threshold" "$bin" --set matchThreshold=$threshold --set compareWith=1 \
      --set compareAction=0 --set actionMode=0 compare "$work/internal20k.snlg" "$work/external20k.txt" -o "$work/c.txt"
  done
  run "$name compare 100 000 x 100 000 @80" "$bin" --set matchThreshold=80 --set compareWith=0 \
    --set compareAction=2 --set actionMode=0 compare "$work/internal100k.snlg" "$work/external100k.snlg" -o "$work/c.txt"
  # The growth with the list size: 100 000 to 1 000 000 names at 80.
  for size in 100k 200k 400k 1m; do
    run "$name dupes $size @80" "$bin" --set matchThreshold=80 --set actionMode=0 --set threadPriority=1 \
      dupes "$work/catalogue$size.snlg" --log "$work/d.txt"
  done
  run "$name dupes 1 000 000 @99" "$bin" --set matchThreshold=99 --set actionMode=0 --set threadPriority=1 \
    dupes "$work/catalogue1m.snlg" --log "$work/d.txt"
done

# Typical files: the demo collection's well-formed tracks (tags, CBR, Info and Xing headers),
# hard-linked for the cached runs and copied into distinct files for the cold scan.
"$build/sonalog" demo "$work/demo" >/dev/null
mapfile -t typical < <(find "$work/demo" -name '*.mp3' -size +100k | sort)
make_files() {  # make_files FOLDER COUNT ln|cp
  mkdir -p "$1"
  for ((k = 0; k < $2; ++k)); do
    local sub="$1/$((k / 100))"
    mkdir -p "$sub"
    "$3" "${typical[k % ${#typical[@]}]}" "$sub/track$k.mp3"
  done
}
make_files "$work/files1k" 1000 ln
make_files "$work/files10k" 10000 ln
one="$work/files1k/0/track0.mp3"
info_set() {  # info_set FOLDER LABEL: `info` over every file of the folder, cached
  mapfile -t files < <(find "$1" -name '*.mp3' | sort)
  # Into the page cache, each file once however many links name it.
  find "$1" -name '*.mp3' -printf '%i %p\n' | sort -u -k1,1n | cut -d' ' -f2- | xargs -d '\n' cat >/dev/null
  for bin in "${binaries[@]}"; do
    run "$(basename "$bin") info ${#files[@]} $2" "$bin" info "${files[@]}"
  done
  [ -x "$build/taglib_info" ] && run "taglib_info ${#files[@]} $2" "$build/taglib_info" "${files[@]}"
}
info_set "$work/files1k" "cached files"
info_set "$work/files10k" "cached files"
# Unusual files (large tags, junk before the audio, free format, MPEG-2, truncated files...) and
# 1 000 four-minute files (CBR 128 without a Xing header and VBR), cached; see make_odd_files.
"$build/make_odd_files" "$work/made"
info_set "$work/made/odd" "odd files"
info_set "$work/made/fourmin" "fourmin files"
for bin in "${binaries[@]}"; do
  run "$(basename "$bin") info one file" "$bin" info "$one"
done
[ -x "$build/taglib_info" ] && run "taglib_info one file" "$build/taglib_info" "$one"

# The cold scan: 2 000 distinct files, the page cache dropped before each run.
make_files "$work/cold" 2000 cp
for bin in "${binaries[@]}"; do
  if [ "$(id -u)" -eq 0 ] && sync && echo 1 >/proc/sys/vm/drop_caches 2>/dev/null; then
    run "$(basename "$bin") scan 2 000 files, cold cache" "$bin" scan -o "$work/cold.snlg" "$work/cold"
  else
    echo "$(basename "$bin") scan 2 000 files, cold cache: skipped (dropping the page cache needs root)"
  fi
done
