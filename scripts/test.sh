#!/usr/bin/env bash
# Sets up, builds and runs every test: the GoogleTest suites through CTest, the worker threads'
# tests under ThreadSanitizer, then each fuzz target for a few seconds when clang is present.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
build_dir="${SONALOG_BUILD_DIR:-build}"
ctest_log="$build_dir/ctest.log"
(cd "$build_dir" && ctest --output-on-failure -j"$(nproc)") | tee "$ctest_log"

launcher=""
command -v ccache >/dev/null 2>&1 && launcher=ccache

# The worker threads' tests once more under ThreadSanitizer, in a build of their own that holds
# only those tests and the logic they use.
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER_LAUNCHER="$launcher" \
  -DSONALOG_TSAN=ON -DSONALOG_GUI=OFF -DSONALOG_BENCH=OFF -DSONALOG_DOCS=OFF >/dev/null
cmake --build build-tsan --target sonalog_worker_tests -j"$(nproc)"
# The sweeps that hold the worker against the plain search over many lists run the same threads
# as the tests kept here and would take minutes under the sanitizer; the plain build runs them.
tsan_home=$(mktemp -d)
SONALOG_HOME="$tsan_home" TSAN_OPTIONS="halt_on_error=1" build-tsan/sonalog_worker_tests --gtest_brief=1 \
  --gtest_filter='-DupSearchTest.*EqualsThePlainSearch*:DupSearchTest.*EqualThePlainSearch*'
rm -rf "$tsan_home"

if command -v clang++ >/dev/null 2>&1 && [ -n "$(ls fuzz/*.cpp 2>/dev/null)" ]; then
  CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_COMPILER_LAUNCHER="$launcher" -DSONALOG_FUZZ=ON -DSONALOG_TESTS=OFF -DSONALOG_BENCH=OFF -DSONALOG_GUI=OFF >/dev/null
  cmake --build build-fuzz -j"$(nproc)"
  for target in build-fuzz/fuzz_*; do
    [ -x "$target" ] || continue
    echo "fuzzing $(basename "$target") for ${SONALOG_FUZZ_SECONDS:-10} s"
    "$target" -max_total_time="${SONALOG_FUZZ_SECONDS:-10}" -rss_limit_mb=2048 \
      -print_final_stats=0 2>"build-fuzz/$(basename "$target").log" \
      || { tail -n 50 "build-fuzz/$(basename "$target").log"; exit 1; }
  done
fi

# One closing line that counts the suites' results, after the fuzz runs' output.
summary=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$ctest_log" | tail -n 1)
total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
failed=$(sed -E 's/.*passed, ([0-9]+) tests failed.*/\1/' <<<"$summary")
echo "tests: $((total - failed)) passed, $failed failed"
