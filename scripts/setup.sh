#!/usr/bin/env bash
# Installs the Debian packages that building and testing need (only the missing ones), then
# configures and builds into build/: every target, or only those named (space-separated) in
# SONALOG_BUILD_TARGETS. Safe to run any number of times.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ pkg-config libicu-dev libfmt-dev libcli11-dev
          libgtest-dev libgmock-dev libbenchmark-dev clang locales qt6-base-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi

build_dir="${SONALOG_BUILD_DIR:-build}"
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSONALOG_WERROR=ON "$@" >/dev/null
if [ -n "${SONALOG_BUILD_TARGETS:-}" ]; then
  # shellcheck disable=SC2086  # the names are meant to split
  cmake --build "$build_dir" -j"$(nproc)" --target ${SONALOG_BUILD_TARGETS}
else
  cmake --build "$build_dir" -j"$(nproc)"
fi
