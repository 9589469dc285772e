#!/bin/bash
# Measures the transport's costs under Wine: the CPU time of an idle listener that
# is polled as the tray polls it, against a loop of Sleep(1) alone (each the
# program's own time plus the wineserver's), and the delay from a write to its
# announcement.   bench/run-karnet-bench.sh BUILD_DIR [SECONDS] [SENDS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?usage: $0 BUILD_DIR [SECONDS] [SENDS]}" && pwd)
seconds=${2:-60}
sends=${3:-500}
bench="$build/bench/bin/karnet_bench.exe"
[ -f "$bench" ] || { echo "build the target karnet_bench first" >&2; exit 1; }

own_session=0
if [ ! -d "$build/session" ]; then
  "$here/../tests/session.sh" start "$build"
  own_session=1
fi
trap '[ "$own_session" = 1 ] && "$here/../tests/session.sh" stop "$build"' EXIT

. "$build/wine-env.sh"
prefix="$build/session/0/prefix"
server=""
for p in $(for name in $kodra_wineserver_names; do pgrep -x "$name"; done); do
  if tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$prefix"; then server=$p; fi
done
[ -n "$server" ] || { echo "no wineserver runs for $prefix" >&2; exit 1; }
ticks() { awk '{print $14 + $15}' "/proc/$server/stat"; }
hz=$(getconf CLK_TCK)

# Runs one mode and prints its figures; with "begin" and "end" the wineserver's
# CPU time over the measured part.
run() {
  local mode=$1 amount=$2 begin=0 t0=0
  while IFS= read -r line; do
    line=${line%$'\r'}
    case "$line" in
      begin) begin=$(ticks); t0=$(date +%s.%N) ;;
      end)
        local used wall
        used=$(( $(ticks) - begin ))
        wall=$(echo "$(date +%s.%N) - $t0" | bc -l)
        printf '%-8s wineserver cpu %.2f s (%.2f %% of a core); ' "$mode" \
          "$(echo "$used / $hz" | bc -l)" "$(echo "100 * $used / $hz / $wall" | bc -l)" ;;
      *) echo "$line" ;;
    esac
  done < <(cd "$(dirname "$bench")" && "$build/wine-run.sh" "$bench" "$mode" "$amount")
}

# Each alone, so the wineserver's share is its own; then both at once, so the
# programs' own times are taken under the same load of the machine.
run sleep "$seconds"
run idle "$seconds"
echo "both at once:"
run sleep "$seconds" | sed 's/^/  /' &
run idle "$seconds" | sed 's/^/  /'
wait
run latency "$sends"
