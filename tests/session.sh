#!/bin/bash
# The test sessions of one build folder, started before CTest and stopped
# after. A session is a fresh Wine prefix, its own persistent wineserver, a
# private Xvfb display and, where this user may make one, a network namespace
# of its own; whatever a test holds there (display and focus, services,
# registry keys, ports) is held only in its session, so sessions run side by
# side. CTest hands each test its session (tests/in-session.sh).
#   tests/session.sh start BUILD_DIR [COUNT]   COUNT sessions (1 when not given)
#   tests/session.sh stop BUILD_DIR
#   tests/session.sh check BUILD_DIR     fails, saying why, where Wine cannot start
#   tests/session.sh run BUILD_DIR PROGRAM [ARGS]
#       runs PROGRAM from the demo installation BUILD_DIR/demo with the build's
#       own kept prefix, on $DISPLAY, or on a private display: then its window
#       is saved under BUILD_DIR/screenshots/ and the program is ended.
#   tests/session.sh with BUILD_DIR COMMAND [ARGS]
#       runs COMMAND in a session of its own, set up as a test session (private
#       display, fresh prefix) but on the machine's network, and stops it
#       after; test sessions of the same folder may run beside it.
set -euo pipefail
cmd=$1
build=$(cd "$2" && pwd)
if [ ! -f "$build/wine-env.sh" ]; then
  echo "session: $build is no configured build folder" >&2
  exit 2
fi
. "$build/wine-env.sh"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# The state of one session lives in one folder: the prefix, the display's
# number and the processes that hold the display and the network namespace.
use_session() {
  state=$1
  export WINEPREFIX="$state/prefix"
}

stop_pid() {
  local pid=$1
  kill "$pid" 2>/dev/null || true
  # A stopped Xvfb lingers as a zombie that still answers kill -0.
  for _ in $(seq 100); do
    st=$(ps -o stat= -p "$pid" 2>/dev/null || true)
    case "$st" in ""|Z*) break ;; esac
    sleep 0.05
  done
}

stop_session() {
  if [ -d "$WINEPREFIX" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  local holder
  for holder in xvfb netns; do
    if [ -s "$state/$holder.pid" ]; then stop_pid "$(cat "$state/$holder.pid")"; fi
  done
  rm -rf "$state"
}

# Wine runs the Windows programs with Linux code of the build's width; a kernel
# that executes no 32-bit code refuses the 32-bit loader with status 126.
# Says why and fails when this build's Wine cannot start on this machine.
check_wine() {
  local rc=0
  if ! command -v "$kodra_wine" >/dev/null; then
    echo "session: no Wine for the $kodra_width-bit build ($kodra_wine) is installed" >&2
    return 1
  fi
  wine --version >/dev/null 2>&1 || rc=$?
  if [ "$rc" -eq 126 ]; then
    echo "session: this machine's kernel executes no 32-bit programs, so the Wine of the 32-bit build cannot start" >&2
    return 1
  elif [ "$rc" -ne 0 ]; then
    echo "session: $kodra_wine --version failed with status $rc" >&2
    return 1
  fi
}

# A network namespace with only loopback, held by a sleeping process: the
# session's programs bind their fixed ports there without meeting another
# session's. Root only; elsewhere the session shares the machine's network.
start_netns() {
  [ "$(id -u)" -eq 0 ] && unshare -n true 2>/dev/null || return 0
  local outer; outer=$(readlink /proc/self/ns/net)
  setsid unshare -n sleep infinity </dev/null >/dev/null 2>&1 &
  local pid=$!
  echo "$pid" >"$state/netns.pid"
  for _ in $(seq 200); do
    local inner; inner=$(readlink "/proc/$pid/ns/net" 2>/dev/null || true)
    [ -n "$inner" ] && [ "$inner" != "$outer" ] && break
    sleep 0.01
  done
  nsenter -t "$pid" -n ip link set lo up
}

# Runs a command in the session's network namespace, when it has one.
in_netns() {
  if [ -s "$state/netns.pid" ]; then
    nsenter -t "$(cat "$state/netns.pid")" -n -- "$@"
  else
    "$@"
  fi
}

# The display of a session: the first free number from display_base up. A
# number is ours once our Xvfb holds its lock file, which every X server
# started with a number honours in every network namespace, so sessions of
# both builds, the run and with sessions and an X server of the machine never
# share one (servers of one number would also share their keymap file and
# socket file). A number with a lock file is passed over, also a stale one
# that another user's server left (this user could not take it over), and so
# is one whose socket file exists: a server that took no lock holds it.
display_base=20
display_last=199

start_display() {
  mkdir -p "$state"
  local n pid log="$state/xvfb.log"
  for ((n = display_base; n <= display_last; n++)); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >"$log" 2>&1 &
    pid=$!
    echo "$pid" >"$state/xvfb.pid"
    if display_answers "$n" "$pid"; then
      echo "$n" >"$state/display"
      return 0
    fi
    stop_pid "$pid"
    rm -f "$state/xvfb.pid"
    # Another server holds the number: its lock, or its listening socket.
    grep -q 'Server is already active for display\|server already running' "$log" || break
  done
  echo "session: Xvfb did not start a display for $state" >&2
  if [ -s "$log" ]; then sed 's/^/  Xvfb: /' "$log" >&2; fi
  exit 1
}

# Waits until display N answers and the lock file names our server PID, or
# until that server has ended.
display_answers() {
  local n=$1 pid=$2 st
  for _ in $(seq 600); do
    if [ "$(tr -d ' ' 2>/dev/null <"/tmp/.X$n-lock")" = "$pid" ] &&
       xdpyinfo -display ":$n" >/dev/null 2>&1; then
      return 0
    fi
    st=$(ps -o stat= -p "$pid" 2>/dev/null || true)
    case "$st" in ""|Z*) return 1 ;; esac
    sleep 0.05
  done
  return 1
}

restart_server() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  setsid "$kodra_wineserver" -p </dev/null >/dev/null 2>&1
}

# Boots a new prefix: one persistent server, Wine's fonts, no crash dialog.
# Everything Wine starts here keeps off our output (a command substitution
# counts): the service processes it starts would hold it open for the whole run.
boot_prefix() {
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX" "$state"
  setsid "$kodra_wineserver" -p </dev/null >/dev/null 2>&1
  wine wineboot -i </dev/null >/dev/null 2>&1
  # After the first boot the prefix runs two service managers, and handles
  # alternate between them; one restart of the server leaves one.
  restart_server
  local fonts
  for fonts in /usr/share/wine/fonts /usr/share/fonts/truetype/wine; do
    [ -d "$fonts" ] && cp -n "$fonts"/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  done
  {
    printf 'REGEDIT4\n\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\n"ShowCrashDialog"=dword:00000000\n\n'
    printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug]\n'
    printf '"Debugger"=""\n"Auto"="1"\n\n'
    cat
  } >"$state/settings.reg"
  wine regedit /S "Z:${state//\//\\}\\settings.reg" </dev/null >/dev/null 2>&1
}

# A test prefix: a virtual desktop (a window manager's stand-in, which makes
# closing windows fast).
boot_desktop_prefix() {
  boot_prefix <<'REG'
[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"
REG
}

start_primer() {
  # The first window of a run starts Wine's desktop process, which takes seconds
  # and ends a second after its last user: the primer starts it here and keeps
  # it until the session stops, so no test starts it with the test's output.
  if [ -f "$build/tests/doubles/desktop_primer.exe" ]; then
    local ready="$state/desktop.ready"
    rm -f "$ready"
    setsid "$kodra_wine" "$build/tests/doubles/desktop_primer.exe" "Z:${ready//\//\\}" \
      </dev/null >/dev/null 2>&1 &
    for _ in $(seq 600); do
      [ -e "$ready" ] && break
      sleep 0.05
    done
    if [ ! -e "$ready" ]; then
      echo "session: no window could be opened on the display of $state" >&2
      exit 1
    fi
  fi
}

# One session, from nothing to a primed desktop. Every Wine process of the
# session, the first ones included, must see the display: a desktop process
# started without one serves no windows later.
start_session() {
  mkdir -p "$state"
  start_netns
  in_netns "$0" start-in "$build" "$state"
}

start_in_session() {
  start_display
  export DISPLAY=":$(cat "$state/display")"
  boot_desktop_prefix
  # The desktop process that the settings' import starts goes on for a moment
  # without the virtual desktop, and a notification icon there shows no
  # tooltip: after a restart the desktop starts anew, as set.
  restart_server
  start_primer
}

# CTest's resource file: one resource "sessions" per started session.
write_resources() {
  local count=$1 k sep=""
  {
    printf '{"version": {"major": 1, "minor": 0}, "local": [{"sessions": ['
    for ((k = 0; k < count; k++)); do
      printf '%s{"id": "%d", "slots": %d}' "$sep" "$k" "$kodra_session_slots"
      sep=", "
    done
    printf ']}]}\n'
  } >"$build/session/resources.json"
}

stop_all() {
  local dir
  for dir in "$build"/session/*/; do
    [ -d "$dir" ] || continue
    use_session "${dir%/}"
    stop_session
  done
  rm -rf "$build/session"
}

start_all() {
  local count=$1 k pids=() failed=0
  stop_all
  mkdir -p "$build/session"
  for ((k = 0; k < count; k++)); do
    "$0" start-one "$build" "$build/session/$k" &
    pids+=($!)
  done
  for k in "${pids[@]}"; do wait "$k" || failed=1; done
  [ "$failed" -eq 0 ] || { stop_all; exit 1; }
  write_resources "$count"
}

# The demo's KODRA service: the tray and Plenrik want it running. The demo KODRA
# program installs it when the wizard has not, and the service manager starts
# it. Wine's answers go through a file: a service process started by a Wine
# call would hold a pipe open for as long as it runs.
start_demo_service() {
  local key='HKLM\System\CurrentControlSet\Services\KODRA' answer="$state/answer"
  mkdir -p "$state"
  wine sc query KODRA </dev/null >"$answer" 2>/dev/null || true
  if ! grep -q 'SERVICE_NAME' "$answer"; then
    wine KODRA.EXE -i -name KODRA </dev/null >/dev/null 2>&1 || true
  fi
  # Ports below 1024 (the default message port is 961) need root.
  if [ "$(id -u)" -ne 0 ]; then
    wine reg query "$key\Parameters" /v MessagePort </dev/null >"$answer" 2>/dev/null || true
    local port; port=$(grep -o '0x[0-9a-fA-F]*' "$answer" || echo 0)
    if [ $((port)) -lt 1024 ]; then
      wine reg add "$key\Parameters" /v MessagePort /t REG_DWORD /d 6961 /f </dev/null >/dev/null 2>&1 || true
    fi
  fi
  wine net start KODRA </dev/null >/dev/null 2>&1 || true
  wine sc query KODRA </dev/null >"$answer" 2>/dev/null || true
  if grep -q 'STATE.*RUNNING' "$answer"; then
    echo "demo: the KODRA service (the demo stand-in) runs in $WINEPREFIX"
  else
    echo "demo: the KODRA service could not be started; the tray will refuse messages" >&2
  fi
}

run_program() {
  check_wine || exit 1
  local prog=$1; shift
  use_session "$build/run-session"
  export WINEPREFIX="$build/wineprefix-run"
  local demo="$build/demo"
  [ -f "$demo/$prog" ] || prog="$prog.exe"
  [ -f "$demo/$prog" ] || { echo "session: no program $prog in $demo" >&2; exit 2; }
  local private=""
  if [ -z "${DISPLAY:-}" ]; then
    private=1
    start_display
    export DISPLAY=":$(cat "$state/display")"
    trap stop_session EXIT
  fi
  # The prefix is booted with the display known, or its desktop serves no windows.
  [ -d "$WINEPREFIX/drive_c/windows/system32" ] || boot_prefix </dev/null
  cd "$demo"
  case "${prog,,}" in
    kodratray.exe|plenrik.exe) start_demo_service ;;
  esac
  if [ -z "$private" ]; then
    exec "$kodra_wine" "$prog" "$@"
  fi
  wine "$prog" "$@" </dev/null >"$state/program.log" 2>&1 &
  local win
  if ! win=$(timeout 60 xdotool search --sync --onlyvisible --name '.+' 2>/dev/null | head -n 1) || [ -z "$win" ]; then
    echo "session: $prog showed no window" >&2
    exit 1
  fi
  # The window is mapped before it has painted; give it a moment to draw.
  sleep 1
  mkdir -p "$build/screenshots"
  local shot="$build/screenshots/${prog%.exe}.png"
  import -window "$win" "$shot"
  echo "screenshot: $shot"
}

case "$cmd" in
  start)
    check_wine || exit 1
    start_all "${3:-1}"
    ;;
  start-one) use_session "$3"; start_session ;;
  start-in)  use_session "$3"; start_in_session ;;
  check) check_wine ;;
  stop)  stop_all ;;
  run)   shift 2; run_program "$@" ;;
  with)
    shift 2
    check_wine || exit 1
    use_session "$build/with-session"
    trap stop_session EXIT
    # The machine's own network: the pictures show its adapters.
    stop_session
    start_in_session
    "$@"
    ;;
  *) echo "usage: $0 start|stop|check|run|with BUILD_DIR ..." >&2; exit 2 ;;
esac
