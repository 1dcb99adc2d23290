#!/usr/bin/env bash
# The main job on the built-in demo collection: sets up and builds, writes the demo collection
# into demo/ (afresh each time), scans it into the list file demo/collection.snlg and says where
# that is, and prints what the list holds.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
build_dir="${SONALOG_BUILD_DIR:-build}"
sonalog="$build_dir/sonalog"
rm -rf demo
mkdir -p demo
export SONALOG_HOME="$PWD/demo/home"
"$sonalog" demo demo/collection
# The two files in Damaged/ fail the analysis: include them with unknown values rather than
# asking about each one.
"$sonalog" --set erroractioncombo=2 scan -o demo/collection.snlg demo/collection
echo "List file written: $PWD/demo/collection.snlg"
"$sonalog" dump demo/collection.snlg
