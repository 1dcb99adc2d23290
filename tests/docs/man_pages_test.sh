#!/usr/bin/env bash
# The manual pages render without a single groff warning, and both programs print the version the
# package carries. Usage: man_pages_test.sh VERSION SONALOG SONALOG_GUI PAGE...
set -u
version=$1 sonalog=$2 gui=$3
shift 3
command -v groff >/dev/null || { echo "groff is missing (Debian package groff-base)"; exit 1; }
failed=0
for page in "$@"; do
  warnings=$(groff -ww -man -Tutf8 -z "$page" 2>&1)
  if [ -n "$warnings" ]; then
    echo "$page: groff warns:"; echo "$warnings"; failed=1
  fi
  # The page has its sections (an empty or cut page renders without warnings too).
  if ! grep -q '^\.SH SYNOPSIS' "$page"; then echo "$page: no SYNOPSIS"; failed=1; fi
done
for program in "$sonalog" "$gui"; do
  [ -x "$program" ] || continue
  got=$("$program" --version)
  expected="$(basename "$program") $version"
  if [ "$got" != "$expected" ]; then echo "$program --version printed \"$got\", not \"$expected\""; failed=1; fi
done
exit $failed
