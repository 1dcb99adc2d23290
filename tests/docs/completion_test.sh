#!/usr/bin/env bash
# The bash completion of sonalog, called as bash calls it, on command lines that need each of its
# rules: commands, options, option values, setting names for --set, "--option=value" words, and
# file arguments by kind. Usage: completion_test.sh COMPLETION_FILE
set -u
# shellcheck source=/dev/null
source "$1" || { echo "cannot load $1"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir music "old lists"
touch a.snlg B.SNLG notes.txt song.mp3 LOUD.MP3

failed=0
# expect LINE CANDIDATES: completing at the end of LINE offers exactly CANDIDATES (sorted, space-separated).
expect() {
  local line=$1 expected=$2
  # Words as readline splits them with bash's default COMP_WORDBREAKS: at spaces and around "=".
  local -a words
  read -r -a words <<<"${line//=/ = }"
  [[ $line == *" " ]] && words+=("")
  COMP_WORDS=("${words[@]}")
  COMP_CWORD=$((${#words[@]} - 1))
  COMP_LINE=$line
  COMP_POINT=${#line}
  COMPREPLY=()
  _sonalog sonalog "${words[COMP_CWORD]}" "${words[COMP_CWORD - 1]:-}" 2>/dev/null
  local got
  got=$(printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | LC_ALL=C sort | tr '\n' ' ')
  got=${got% }
  if [[ $got != "$expected" ]]; then
    echo "completing \"$line\": got [$got], expected [$expected]"
    failed=1
  fi
}

# Commands and options.
expect "sonalog d" "demo dump dupes"
expect "sonalog --config x.ini ex" "export"
expect "sonalog scan --a" "--all-drives --append"
expect "sonalog scan -o out.snlg --n" "--no --no-subfolders"
# Values: the accepted ones, also after "=", and the names of settings with their "=".
expect "sonalog export a.snlg --type h" "html-table"
expect "sonalog export a.snlg --type=p" "plain-html"
expect "sonalog --set CheckT" "CheckTime="
expect "sonalog config --get CheckT" "CheckTime"
expect "sonalog --set CheckTime=1 --set CheckTime=" ""
expect "sonalog --set CheckTime=1 sc" "scan"
# Files by kind: lists, mp3 files, folders, anything.
expect "sonalog dump " "B.SNLG a.snlg music old lists"
expect "sonalog scan --append " "B.SNLG a.snlg music old lists"
expect "sonalog info " "LOUD.MP3 music old lists song.mp3"
expect "sonalog scan -o new.snlg " "music old lists"
expect "sonalog compare a.snlg " "B.SNLG LOUD.MP3 a.snlg music notes.txt old lists song.mp3"
expect "sonalog info song.mp3 L" "LOUD.MP3"
expect "sonalog demo music " ""
exit $failed
