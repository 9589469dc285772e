#!/bin/bash
# The test session of one build folder: its own Wine prefix, one persistent
# wineserver and a private Xvfb display, started before CTest and stopped after.
#   tests/session.sh start BUILD_DIR     fresh prefix, server and display
#   tests/session.sh stop BUILD_DIR
#   tests/session.sh check BUILD_DIR     fails, saying why, where Wine cannot start
#   tests/session.sh run BUILD_DIR PROGRAM [ARGS]
#       runs PROGRAM from the demo installation BUILD_DIR/demo with the build's
#       own kept prefix, on $DISPLAY, or on a private display: then its window
#       is saved under BUILD_DIR/screenshots/ and the program is ended.
#   tests/session.sh with BUILD_DIR COMMAND [ARGS]
#       runs COMMAND in a session of its own, set up as the test session
#       (private display, fresh prefix BUILD_DIR/wineprefix-with), and stops it
#       after; a test session of the same folder may run beside it.
set -euo pipefail
cmd=$1
build=$(cd "$2" && pwd)
state="$build/session"
export WINEPREFIX="$build/wineprefix" WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

stop_session() {
  if [ -d "$WINEPREFIX" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -s "$state/xvfb.pid" ]; then
    local pid; pid=$(cat "$state/xvfb.pid")
    kill "$pid" 2>/dev/null || true
    # A stopped Xvfb lingers as a zombie that still answers kill -0.
    for _ in $(seq 100); do
      st=$(ps -o stat= -p "$pid" 2>/dev/null || true)
      case "$st" in ""|Z*) break ;; esac
      sleep 0.05
    done
  fi
  rm -rf "$state"
}

# Wine runs the Windows programs with 32-bit Linux code, which a kernel booted
# without 32-bit support (ia32_emulation=off) refuses to execute: status 126.
# Says why and fails when Wine cannot start on this machine.
check_wine() {
  local rc=0
  wine --version >/dev/null 2>&1 || rc=$?
  if [ "$rc" -eq 126 ]; then
    echo "session: this machine's kernel executes no 32-bit programs, so Wine cannot start" >&2
    return 1
  fi
}

start_display() {
  mkdir -p "$state"
  : >"$state/display"
  setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
    3>"$state/display" </dev/null >/dev/null 2>&1 &
  echo $! >"$state/xvfb.pid"
  for _ in $(seq 200); do
    [ -s "$state/display" ] && grep -q '^[0-9]' "$state/display" && break
    sleep 0.05
  done
  if ! grep -q '^[0-9]' "$state/display"; then echo "session: Xvfb did not start" >&2; exit 1; fi
  sed -i 's/[^0-9]//g' "$state/display"
}

restart_server() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  setsid wineserver -p </dev/null >/dev/null 2>&1
}

# Boots a new prefix: one persistent server, Wine's fonts, no crash dialog.
# Everything Wine starts here keeps off our output (a command substitution
# counts): the service processes it starts would hold it open for the whole run.
boot_prefix() {
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX" "$state"
  setsid wineserver -p </dev/null >/dev/null 2>&1
  wineboot -i </dev/null >/dev/null 2>&1
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

# The test prefix: a virtual desktop (a window manager's stand-in, which makes
# closing windows fast), up before the first test.
start_prefix() {
  boot_desktop_prefix
  start_primer
}

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
    setsid wine "$build/tests/doubles/desktop_primer.exe" "Z:${ready//\//\\}" \
      </dev/null >/dev/null 2>&1 &
    for _ in $(seq 600); do
      [ -e "$ready" ] && break
      sleep 0.05
    done
    if [ ! -e "$ready" ]; then
      echo "session: no window could be opened on the test display" >&2
      exit 1
    fi
  fi
}

# The tray and Plenrik want the KODRA service running: the demo KODRA program
# installs it when the wizard has not, and the service manager starts it.
# Wine's answers go through a file: a service process started by a Wine call
# would hold a pipe open for as long as it runs.
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
  export WINEPREFIX="$build/wineprefix-run"
  state="$build/run-session"
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
    exec wine "$prog" "$@"
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
    stop_session
    start_display
    # Every Wine process of the session, the first ones included, must see the
    # display: a desktop process started without one serves no windows later.
    export DISPLAY=":$(cat "$state/display")"
    start_prefix
    ;;
  check) check_wine ;;
  stop)  stop_session ;;
  run)   shift 2; run_program "$@" ;;
  with)
    shift 2
    check_wine || exit 1
    export WINEPREFIX="$build/wineprefix-with"
    state="$build/with-session"
    stop_session
    trap stop_session EXIT
    start_display
    export DISPLAY=":$(cat "$state/display")"
    boot_desktop_prefix
    # The desktop process that the settings' import starts goes on for a moment
    # without the virtual desktop, and a notification icon there shows no
    # tooltip: after a restart the desktop starts anew, as set.
    restart_server
    start_primer
    "$@"
    ;;
  *) echo "usage: $0 start|stop|run|with BUILD_DIR ..." >&2; exit 2 ;;
esac
