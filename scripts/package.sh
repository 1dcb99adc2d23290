#!/usr/bin/env bash
# Builds the Debian package in build-deb/ as a distribution would: Release with Debian's hardening
# flags (dpkg-buildflags), sonalog linked against the shared ICU and C++ runtime (Debian's policy on
# convenience copies: ICU's security updates must reach it), binaries stripped, manual pages,
# completions, AppStream metadata and the user guide included. Then checks the package with lintian
# and the metadata with appstreamcli. Prints the package's path last.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=build-deb

# dpkg-buildflags comes with dpkg-dev; the two checkers are what a Debian maintainer runs.
SONALOG_EXTRA_PACKAGES="dpkg-dev lintian appstream" SONALOG_BUILD_TARGETS="help_to_docs" \
  SONALOG_BUILD_DIR="$build_dir" ./scripts/setup.sh -DSONALOG_TESTS=OFF -DSONALOG_BENCH=OFF
# The flags are read when the build folder is first configured, so it is configured afresh.
rm -f "$build_dir/CMakeCache.txt"
# Every hardening feature, immediate binding included.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
# SONALOG_MAINTAINER="Name <address>" names who answers for the package (Debian wants an address
# that mail reaches; the default is a placeholder that lintian reports).
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DSONALOG_WERROR=OFF \
    -DSONALOG_STATIC_CLI=OFF -DSONALOG_TESTS=OFF -DSONALOG_BENCH=OFF \
    -DCMAKE_STRIP="$PWD/scripts/package-strip.sh" \
    ${SONALOG_MAINTAINER:+"-DSONALOG_MAINTAINER=$SONALOG_MAINTAINER"} \
    -DCMAKE_CXX_COMPILER_LAUNCHER="$(command -v ccache || true)" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
rm -f "$build_dir"/sonalog_*.deb
(cd "$build_dir" && cpack -G DEB >/dev/null)
deb=$(ls "$build_dir"/sonalog_*.deb)

echo "== lintian"
lintian --display-info "$deb" || true
echo "== appstreamcli validate --no-net"
appstreamcli validate --no-net "$build_dir/docs/org.sonalog.sonalog.metainfo.xml"
echo "== package"
ls -l "$deb"
echo "$PWD/$deb"
