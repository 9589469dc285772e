#!/bin/bash
# Sends to a Windows listener from the Linux side over a plain socket: what
# arrives and what comes back are exactly the bytes, without any framing.
#   linux_sender.sh WINE_RUN LISTENER_EXE KARNET_DLL
set -u
wine_run=$1 listener=$2 dll=$3

port=$((20000 + RANDOM % 30000))
while ss -Htan "sport = :$port" 2>/dev/null | grep -q .; do port=$((20000 + RANDOM % 30000)); done
out=$(mktemp)
dll_windows="Z:${dll//\//\\}"
"$wine_run" "$listener" "$dll_windows" "$port" >"$out" 2>&1 &
pid=$!
cleanup() {
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  rm -f "$out"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; cat "$out"; exit 1; }

for _ in $(seq 300); do
  grep -q listening "$out" && break
  kill -0 "$pid" 2>/dev/null || fail "listener ended"
  sleep 0.1
done
grep -q listening "$out" || fail "listener did not start"

# One request, one answer: send, end our sending side, read until the listener's reply.
exchange() {
  exec 3<>"/dev/tcp/127.0.0.1/$port" || return 1
  printf '%s' "$1" >&3
  local reply=""
  IFS= read -r -t 10 -N "$2" reply <&3
  exec 3>&-
  printf '%s' "$reply"
}

record='KODRA|5|hello|'
want="got ${#record}: $record"
got=$(exchange "$record" ${#want})
[ "$got" = "$want" ] || fail "reply '$got', wanted '$want'"

if command -v ss >/dev/null; then
  bound=$(ss -Hltn "sport = :$port" | awk '{print $4}')
  [ "$bound" = "127.0.0.1:$port" ] || fail "listening on '$bound', wanted 127.0.0.1:$port only"
fi

got=$(exchange STOP 11)
[ "$got" = "got 4: STOP" ] || fail "stop reply '$got'"
wait "$pid"
rc=$?
[ "$rc" -eq 0 ] || fail "listener exit code $rc"
echo "PASS"
