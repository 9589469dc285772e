#!/bin/bash
# Measures the tray's costs under Wine: the CPU time of an idle kodratray.exe over
# SECONDS (its own time plus the wineserver's and the service manager's, since its
# timer asks for the KODRA service's state every second) against a loop of
# Sleep(1) alone, and the time from a launcher's start to the start of ktMsg.exe,
# msg.exe starting it directly against Plenrik sending it through the tray.
#   bench/run-tray-bench.sh BUILD_DIR [SECONDS] [STARTS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?usage: $0 BUILD_DIR [SECONDS] [STARTS]}" && pwd)
seconds=${2:-60}
starts=${3:-30}
tray_bench="$build/tests/bench/tray_bench.exe"
karnet_bench="$build/bench/bin/karnet_bench.exe"
for exe in "$tray_bench" "$karnet_bench"; do
  [ -f "$exe" ] || { echo "build the targets tray_bench and karnet_bench first" >&2; exit 1; }
done

own_session=0
if [ ! -d "$build/session" ]; then
  "$here/../tests/session.sh" start "$build"
  own_session=1
fi
trap '[ "$own_session" = 1 ] && "$here/../tests/session.sh" stop "$build"' EXIT

. "$build/wine-env.sh"
prefix="$build/session/0/prefix"
of_prefix() {
  local p
  for p in $(pgrep -x "$1" || true); do
    if tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$prefix"; then echo "$p"; fi
  done
}
ticks() {
  local p sum=0
  for p in "$@"; do sum=$(( sum + $(awk '{print $14 + $15}' "/proc/$p/stat") )); done
  echo "$sum"
}
hz=$(getconf CLK_TCK)

percent() { echo "100 * $1 / $hz / $2" | bc -l; }

# PROCESS names the measured Linux process (its comm), "" for none.
run() {
  local label=$1 process=$2; shift 2
  local begin=0 own=0 t0=0 helpers="" measured=""
  while IFS= read -r line; do
    line=${line%$'\r'}
    case "$line" in
      begin) helpers="$(for name in $kodra_wineserver_names services.exe; do of_prefix "$name"; done)"
             [ -n "$process" ] && measured=$(of_prefix "$process")
             begin=$(ticks $helpers); own=$(ticks $measured); t0=$(date +%s.%N) ;;
      end)
        local used mine wall
        used=$(( $(ticks $helpers) - begin ))
        mine=$(( $(ticks $measured) - own ))
        wall=$(echo "$(date +%s.%N) - $t0" | bc -l)
        printf '%-6s wineserver+services cpu %.2f %% of a core; ' "$label" "$(percent "$used" "$wall")"
        [ -n "$process" ] && printf '%s cpu %.2f %% of a core; ' "$process" "$(percent "$mine" "$wall")"
        ;;
      *) echo "$line" ;;
    esac
  done < <(cd "$(dirname "$1")" && "$build/wine-run.sh" "$@")
}

run sleep "" "$karnet_bench" sleep "$seconds"
run tray kodratray.exe "$tray_bench" idle "$seconds"
"$build/wine-run.sh" "$tray_bench" start "$starts"
"$build/wine-run.sh" "$tray_bench" socket "$starts"
