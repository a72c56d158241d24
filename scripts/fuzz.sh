#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, address and undefined-behaviour sanitizers) in build-fuzz and
# runs them, each on a copy of its seed corpus in fuzz/corpus/<target>.
#
#   scripts/fuzz.sh                      every target for 5 s (what scripts/test.sh runs)
#   scripts/fuzz.sh -t 3600 profiles     one target for an hour, keeping what it finds
#   scripts/fuzz.sh -t 600 -k            every target for 10 minutes, keeping the grown corpora
#
# -k keeps the grown corpora in build-fuzz/corpus/<target> (the seeds are never touched; copy a
# new input into fuzz/corpus/<target> by hand when it is worth keeping). A crash, leak, undefined
# behaviour, time-out (10 s per input) or memory blow-up (2 GB) stops the target, leaves its input
# in build-fuzz/artifacts/ and makes the script fail. Extra libFuzzer options go after "--".
# Exit status 2: clang or its fuzzer runtime is missing (nothing was run).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=5
keep=0
targets=()
extra=()
while [ $# -gt 0 ]; do
  case "$1" in
    -t) seconds=$2; shift 2 ;;
    -k) keep=1; shift ;;
    --) shift; extra=("$@"); break ;;
    *) targets+=("$1"); shift ;;
  esac
done
[ ${#targets[@]} -eq 0 ] && mapfile -t targets < <(ls "$top/fuzz/corpus")

# libFuzzer comes with clang's runtime (Debian: libclang-rt-<version>-dev).
if ! command -v clang++ >/dev/null || ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' |
     clang++ -x c++ -fsanitize=fuzzer -o /dev/null - 2>/dev/null; then
  echo "fuzz: clang++ with the libFuzzer runtime is not installed; skipped" >&2
  exit 2
fi

build="$top/build-fuzz"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVX_FUZZ=ON -DVX_WITH_QT=OFF \
      -DVX_BUILD_BENCH=OFF -DVX_TSAN=OFF -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

mkdir -p "$build/artifacts"
# The targets' scratch folders go to one folder on tmpfs that goes when the script ends.
shm=/dev/shm
[ -d "$shm" ] && [ -w "$shm" ] || shm=${XDG_RUNTIME_DIR:-${TMPDIR:-/tmp}}
scratch=$(mktemp -d "$shm/vx-fuzz-run.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
export VX_FUZZ_DIR="$scratch"
status=0
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  if [ $keep -eq 0 ]; then rm -rf "$corpus"; fi
  mkdir -p "$corpus"
  cp -n "$top/fuzz/corpus/$target"/* "$corpus/"
  log="$build/artifacts/$target.log"
  if "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
       -artifact_prefix="$build/artifacts/$target-" -print_final_stats=1 "${extra[@]}" "$corpus" >"$log" 2>&1; then
    echo "fuzz_$target: $(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}') runs," \
         "$(grep -E '^stat::average_exec_per_sec' "$log" | awk '{print $2}') per second, no fault"
  else
    echo "fuzz_$target FAILED; the input is in $build/artifacts/, the report:" >&2
    grep -E -A25 'ERROR|runtime error|check failed|SUMMARY|timeout|out-of-memory' "$log" | head -60 >&2 || tail -40 "$log" >&2
    status=1
  fi
  [ $keep -eq 0 ] && rm -rf "$corpus"
done
exit $status
