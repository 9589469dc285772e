#!/bin/bash
# The started test sessions of a build folder each have a display of their
# own: distinct numbers, each one's lock file held by the session's own Xvfb
# (so no other X server holds it), and each display answering from inside its
# session with that session's server: a tag set on the root window through one
# session is read back through it alone.
#   tests/check-sessions.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
fail=0
say() { echo "check-sessions: $*" >&2; fail=1; }

sessions=()
for dir in "$build"/session/*/; do
  [ -s "$dir/display" ] && sessions+=("$(basename "$dir")")
done
[ ${#sessions[@]} -gt 0 ] || { echo "check-sessions: no started session in $build" >&2; exit 1; }

declare -A owner
for id in "${sessions[@]}"; do
  state="$build/session/$id"
  n=$(cat "$state/display")
  if [ -n "${owner[$n]:-}" ]; then say "sessions ${owner[$n]} and $id share display :$n"; fi
  owner[$n]=$id
  pid=$(cat "$state/xvfb.pid" 2>/dev/null || true)
  lock=$(tr -d ' ' 2>/dev/null <"/tmp/.X$n-lock" || true)
  if [ -z "$pid" ] || [ "$lock" != "$pid" ]; then
    say "display :$n of session $id is locked by process '${lock}', not by its Xvfb '${pid}'"
  fi
  KODRA_SESSION=$id "$build/in-session.sh" \
    xprop -display ":$n" -root -f KODRA_SESSION_TAG 8s -set KODRA_SESSION_TAG "$state" ||
    say "display :$n does not answer inside session $id"
done

for id in "${sessions[@]}"; do
  state="$build/session/$id"
  n=$(cat "$state/display")
  tag=$(KODRA_SESSION=$id "$build/in-session.sh" xprop -display ":$n" -root KODRA_SESSION_TAG 2>/dev/null || true)
  case "$tag" in
    *"= \"$state\"") echo "session $id: display :$n, its own server" ;;
    *) say "display :$n, seen from session $id, shows another session's tag: $tag" ;;
  esac
done
exit "$fail"
