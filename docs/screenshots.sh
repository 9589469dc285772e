#!/bin/bash
# Makes the pictures of docs/: every page and dialog of the wizard, the tray's
# icon with its tooltip and menu, its About box, Orlenk and the stand-in message
# window, taken by the demo driver from the demo installation, and the wizard's
# mode page in Japanese. All in a session of their own (tests/session.sh with:
# a private Xvfb display and a fresh Wine prefix with a virtual desktop, which
# gives captions and a notification area). Needs a built tree: ./build.sh test
# or ./build.sh run first. Without BUILD_DIR, the 32-bit build where its Wine
# starts here, else the 64-bit one.
#   docs/screenshots.sh [BUILD_DIR]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
if [ -z "${1:-}" ] && ! "$top/tests/session.sh" check "$build" 2>/dev/null; then build="$top/build/x64"; fi
build=$(cd "$build" && pwd)
driver="$build/demo-build/DemoDriver.exe"
shots="$build/docs-shots"

if [ -z "${KODRA_SCREENSHOTS_SESSION:-}" ]; then
  [ -f "$driver" ] && [ -d "$build/demo" ] || { echo "screenshots: build first (./build.sh run)" >&2; exit 2; }
  cmake --build "$build" --target DemoDriver >/dev/null
  rm -rf "$shots"
  mkdir -p "$shots"
  KODRA_SCREENSHOTS_SESSION=1 LANG=C LC_ALL=C "$top/tests/session.sh" with "$build" "$0" "$build"
  for bmp in "$shots"/*.bmp; do
    /usr/bin/convert "$bmp" -strip "$top/docs/$(basename "${bmp%.bmp}").png"
  done
  /usr/bin/convert "$shots/kodracfg-ja.png" -strip "$top/docs/kodracfg-ja.png"
  echo "screenshots: $(ls "$shots" | wc -l) pictures in $top/docs"
  exit 0
fi

# In the session: the demo driver's pictures, then the mode page in Japanese,
# shown by the wizard with the demo KODRA program beside it.
. "$build/wine-env.sh"
wine "$driver" pictures "$build/demo" "$shots" </dev/null

ja="$build/docs-shots-ja"
rm -rf "$ja"
mkdir -p "$ja"
cp "$build/demo/KODRACFG.exe" "$build/demo/KODRA.EXE" "$ja/"
(cd "$ja" && LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 setsid "$kodra_wine" KODRACFG.exe </dev/null >"$ja/wizard.log" 2>&1 &)
if ! win=$(timeout 60 xdotool search --sync --onlyvisible --classname 'kodracfg.exe' 2>/dev/null | head -n 1) ||
   [ -z "$win" ]; then
  echo "screenshots: the Japanese wizard showed no window" >&2
  exit 1
fi
# The window is mapped before it has painted; give it a moment to draw.
sleep 1
import -window "$win" "$shots/kodracfg-ja.png"
