#!/bin/bash
# Runs the fuzz targets built in build/fuzz (./build.sh test builds them) and
# reports per target its executions, libFuzzer's edge and feature counts, the
# lines and branches of the system's own code that its corpus reaches, and its
# time.
#   tests/fuzz/run-fuzz.sh [-t SECONDS] [-r RUNS] [-j JOBS] [TARGET...]
# Every target by default, two at a time, each until the first of the limits
# given (60 seconds without one). New inputs go to
# build/fuzz/corpus/<target>/, findings to build/fuzz/findings/; the seeds in
# tests/fuzz/corpus/ are read, never written. The lines come from replaying the
# seeds and the new inputs in a build with coverage mapping (build/fuzz-coverage,
# built here); a branch counts once for each way it can go. The result is 1 after a finding.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
bin="$top/build/fuzz"
coverage="$top/build/fuzz-coverage"
limit=()
jobs=2
while getopts "t:r:j:" opt; do
  case $opt in
    t) limit+=(-max_total_time="$OPTARG") ;;
    r) limit+=(-runs="$OPTARG") ;;
    j) jobs=$OPTARG ;;
    *) sed -n '5,5p' "$0" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
[ ${#limit[@]} -gt 0 ] || limit=(-max_total_time=60)
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  mapfile -t targets < <(sed -n '/^set(KODRA_FUZZ_TARGETS/,/^)/{/^  /s/^ *//p}' "$here/targets.cmake")
fi
max_len=$(sed -n 's/^set(KODRA_FUZZ_MAX_LEN \([0-9]*\))/\1/p' "$here/targets.cmake")

for tool in llvm-profdata-14 llvm-cov-14; do
  command -v "$tool" >/dev/null || { echo "run-fuzz.sh: $tool is missing (./build.sh test installs it)" >&2; exit 2; }
done
if ! { cmake -S "$here" -B "$coverage" -DCMAKE_CXX_COMPILER=clang++ \
             -DCMAKE_CXX_FLAGS="-fprofile-instr-generate -fcoverage-mapping" \
             -DCMAKE_EXE_LINKER_FLAGS="-fprofile-instr-generate" &&
       cmake --build "$coverage" -j "$(nproc)"; } >"$coverage.log" 2>&1; then
  cat "$coverage.log" >&2
  echo "run-fuzz.sh: the coverage build failed" >&2
  exit 2
fi

# The lines and the branches of the system's own sources in the target that
# its corpus reaches, as "covered/all covered/all".
reached() {
  local target=$1 profiles="$coverage/profiles/$1"
  rm -rf "$profiles" && mkdir -p "$profiles"
  LLVM_PROFILE_FILE="$profiles/%p.profraw" ASAN_OPTIONS=detect_leaks=0 \
    "$coverage/fuzz_$target" -runs=0 -max_len="$max_len" "$bin/corpus/$target" "$here/corpus/$target" \
    >/dev/null 2>&1
  llvm-profdata-14 merge -sparse -o "$profiles/merged.profdata" "$profiles"/*.profraw 2>/dev/null &&
    llvm-cov-14 report "$coverage/fuzz_$target" -instr-profile="$profiles/merged.profdata" \
             -ignore-filename-regex='(^/usr/|/tests/)' 2>/dev/null |
    awk '$1 == "TOTAL" { printf "%d/%d %d/%d", $8 - $9, $8, $11 - $12, $11 }'
}

run_one() {
  local target=$1 work="$bin/corpus/$1" log="$bin/logs/$1.log" start end
  mkdir -p "$work" "$bin/findings" "$bin/logs"
  start=$(date +%s)
  ASAN_OPTIONS=malloc_context_size=0:quarantine_size_mb=8 "$bin/fuzz_$target" "${limit[@]}" -timeout=10 \
      -rss_limit_mb=2048 -max_len="$max_len" -print_final_stats=1 -artifact_prefix="$bin/findings/$target-" \
      "$work" "$here/corpus/$target" >"$log" 2>&1
  local rc=$? execs cov ft lines branches
  end=$(date +%s)
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  read -r lines branches < <(reached "$target")
  local verdict=ok
  [ $rc -eq 0 ] || verdict="FINDING (see $log)"
  printf '%-16s %12s %7s %7s %11s %11s %7ss  %s\n' "$target" "${execs:-?}" "${cov:-?}" "${ft:-?}" \
         "${lines:-?}" "${branches:-?}" "$((end - start))" "$verdict"
  return $rc
}
export -f run_one reached
export bin here coverage max_len
export limit_text="${limit[*]}"

printf '%-16s %12s %7s %7s %11s %11s %8s  %s\n' target executions cov ft lines branches time result
rc=0
printf '%s\n' "${targets[@]}" |
  xargs -P "$jobs" -I{} bash -c 'limit=($limit_text); run_one "$1"' _ {} || rc=1
exit $rc
