#!/usr/bin/env bash
# The main job on the built-in demo collection: sets up and builds, writes the demo collection
# into demo/ (afresh each time) and shows what the analysis finds in every file.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
build_dir="${SONALOG_BUILD_DIR:-build}"
rm -rf demo
mkdir -p demo
export SONALOG_HOME="$PWD/demo/home"
"$build_dir/sonalog" demo demo/collection
find demo/collection -type f -print0 | sort -z | xargs -0 "$build_dir/sonalog" info || true
