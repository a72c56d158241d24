#!/usr/bin/env bash
# Builds everything and runs every test: the normal build, then the thread-sanitizer build of the
# tests labelled "threaded", then (when clang and its fuzzer runtime are installed) every libFuzzer
# target for a few seconds. Usage: scripts/test.sh [extra ctest arguments]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
jobs=$(nproc)
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVX_WITH_QT=ON -DVX_TSAN=OFF \
      -DVX_UNITY_BUILD=ON
cmake --build "$top/build" -j "$jobs"

cmake -S "$top" -B "$top/build-tsan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVX_TSAN=ON -DVX_WITH_QT=ON \
      -DVX_UNITY_BUILD=ON
# Only the threaded tests run under the sanitizer, so only they (and what they need) are built.
mapfile -t tsan_targets < <(cd "$top/build-tsan" && ctest -N -L threaded | sed -n 's/^ *Test *#[0-9]*: //p')
cmake --build "$top/build-tsan" -j "$jobs" --target "${tsan_targets[@]}"

status=0
(cd "$top/build" && ctest --output-on-failure -j "$jobs" "$@") || status=1
# The Debian package of the normal build: the files it carries, the validators of its desktop
# entry and AppStream data, and the program it installs starting from an empty home.
(cd "$top/build" && rm -f ./*.deb && cpack -G DEB >/dev/null && "$top/scripts/check-package.sh" ./*.deb) \
   || { echo "the Debian package failed" >&2; status=1; }
# die_after_fork=0: the program starts its audio companion while its threads run (the tests start
# sound servers too); the sanitizer takes Qt's process start for a fork whose child makes threads.
# Every such child execs at once.
(cd "$top/build-tsan" && \
   TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ignore_noninstrumented_modules=1 die_after_fork=0 suppressions=$top/cmake/tsan.supp" \
   ctest --output-on-failure -j "$jobs" -L threaded "$@") || status=1
# The readers of outside input under libFuzzer, 5 s each on a copy of their seeds (exit 2: no clang).
fuzz_status=0
"$top/scripts/fuzz.sh" -t 5 || fuzz_status=$?
[ $fuzz_status -eq 0 ] || [ $fuzz_status -eq 2 ] || status=1
exit $status
