#!/bin/bash
# Runs the fuzz targets built in build/fuzz (./build.sh test builds them) and
# reports executions, coverage and time per target.
#   tests/fuzz/run-fuzz.sh [-t SECONDS | -r RUNS] [-j JOBS] [TARGET...]
# Every target by default, 60 seconds each, two at a time. New inputs go to
# build/fuzz/corpus/<target>/, findings to build/fuzz/findings/; the seeds in
# tests/fuzz/corpus/ are read, never written. The result is 1 after a finding.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
bin="$top/build/fuzz"
limit=(-max_total_time=60)
jobs=2
while getopts "t:r:j:" opt; do
  case $opt in
    t) limit=(-max_total_time="$OPTARG") ;;
    r) limit=(-runs="$OPTARG") ;;
    j) jobs=$OPTARG ;;
    *) sed -n '2,7p' "$0" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  mapfile -t targets < <(sed -n '/^set(KODRA_FUZZ_TARGETS/,/^)/{/^  /s/^ *//p}' "$here/targets.cmake")
fi

run_one() {
  local target=$1 work="$bin/corpus/$1" log="$bin/logs/$1.log" start end
  mkdir -p "$work" "$bin/findings" "$bin/logs"
  start=$(date +%s)
  ASAN_OPTIONS=malloc_context_size=0:quarantine_size_mb=8 "$bin/fuzz_$target" "${limit[@]}" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
      -print_final_stats=1 -artifact_prefix="$bin/findings/$target-" \
      "$work" "$here/corpus/$target" >"$log" 2>&1
  local rc=$? execs cov ft
  end=$(date +%s)
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  local verdict=ok
  [ $rc -eq 0 ] || verdict="FINDING (see $log)"
  printf '%-16s %12s %7s %7s %7ss  %s\n' "$target" "${execs:-?}" "${cov:-?}" "${ft:-?}" \
         "$((end - start))" "$verdict"
  return $rc
}
export -f run_one
export bin here
export limit_text="${limit[*]}"

printf '%-16s %12s %7s %7s %8s  %s\n' target executions cov ft time result
rc=0
printf '%s\n' "${targets[@]}" |
  xargs -P "$jobs" -I{} bash -c 'limit=($limit_text); run_one "$1"' _ {} || rc=1
exit $rc
