#!/bin/bash
# Makes the pictures of docs/: every page and dialog of the wizard, the tray's
# icon with its tooltip and menu, its About box, Orlenk and the stand-in message
# window, taken by the demo driver from the demo installation under a private
# Xvfb display and Wine prefix (a virtual desktop, which gives captions and a
# notification area). Needs a built tree: ./build.sh test or ./build.sh run first.
#   docs/screenshots.sh [BUILD_DIR]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
driver="$build/demo-build/DemoDriver.exe"
[ -f "$driver" ] && [ -d "$build/demo" ] || { echo "screenshots: build first (./build.sh run)" >&2; exit 2; }
cmake --build "$build" --target DemoDriver >/dev/null

export WINEPREFIX="$build/wineprefix-docs" WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C LC_ALL=C
state="$build/docs-session"
shots="$state/shots"
rm -rf "$state"
mkdir -p "$shots"

: >"$state/display"
setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$state/display" </dev/null >/dev/null 2>&1 &
xvfb=$!
finish() {
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb" 2>/dev/null || true
}
trap finish EXIT
for _ in $(seq 200); do grep -q '^[0-9]' "$state/display" && break; sleep 0.05; done
export DISPLAY=":$(tr -cd 0-9 <"$state/display")"

# A fresh prefix with Wine's fonts and a virtual desktop, as the tests have it.
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
setsid wineserver -p </dev/null >/dev/null 2>&1
wineboot -i </dev/null >/dev/null 2>&1
for fonts in /usr/share/wine/fonts /usr/share/fonts/truetype/wine; do
  [ -d "$fonts" ] && cp -n "$fonts"/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
done
cat >"$state/desktop.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"
REG
wine regedit /S "Z:${state//\//\\}\\desktop.reg" </dev/null >/dev/null 2>&1
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
setsid wineserver -p </dev/null >/dev/null 2>&1

wine "$driver" pictures "$build/demo" "$shots" </dev/null

convert=/usr/bin/convert
for bmp in "$shots"/*.bmp; do
  "$convert" "$bmp" -strip "$top/docs/$(basename "${bmp%.bmp}").png"
done
echo "screenshots: $(ls "$shots" | wc -l) pictures in $top/docs"
