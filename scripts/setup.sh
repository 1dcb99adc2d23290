#!/usr/bin/env bash
# Installs the Debian packages that building and testing need (only the missing ones, plus those
# named in SONALOG_EXTRA_PACKAGES), then configures and builds into build/ (or SONALOG_BUILD_DIR):
# every target, or only those named (space-separated) in SONALOG_BUILD_TARGETS. Arguments are
# passed to CMake's configure step. Compiles through ccache when it is there, so a second build of
# the same tree (a fresh clone, an emptied build folder) reuses the objects of the first. Safe to
# run any number of times.
set -euo pipefail
cd "$(dirname "$0")/.."

# groff-base renders the manual pages in their test; ccache is optional (installed below).
packages=(cmake ninja-build g++ pkg-config libicu-dev libfmt-dev libcli11-dev
          libgtest-dev libgmock-dev libbenchmark-dev clang locales qt6-base-dev groff-base gzip)
# shellcheck disable=SC2206  # the names are meant to split
packages+=(${SONALOG_EXTRA_PACKAGES:-})
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
missing=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
sudo_cmd=""
[ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
if ((${#missing[@]})) || ! installed ccache; then
  $sudo_cmd apt-get update -qq
fi
if ((${#missing[@]})); then
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi
if ! installed ccache; then
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq ccache \
    || echo "setup: ccache could not be installed; building without it" >&2
fi

# An empty launcher also clears one that an earlier configure set, should ccache be gone since.
launcher=""
command -v ccache >/dev/null 2>&1 && launcher=ccache

build_dir="${SONALOG_BUILD_DIR:-build}"
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSONALOG_WERROR=ON -DCMAKE_CXX_COMPILER_LAUNCHER="$launcher" "$@" >/dev/null
if [ -n "${SONALOG_BUILD_TARGETS:-}" ]; then
  # shellcheck disable=SC2086  # the names are meant to split
  cmake --build "$build_dir" -j"$(nproc)" --target ${SONALOG_BUILD_TARGETS}
else
  cmake --build "$build_dir" -j"$(nproc)"
fi
