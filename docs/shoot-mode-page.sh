#!/bin/bash
# Saves the wizard's first page under one user-interface language as a picture
# for the README, on a private display with a prefix of its own. The KODRA
# program double stands beside the wizard, so the page shows at once.
#   docs/shoot-mode-page.sh BUILD_DIR LOCALE PICTURE
#   e.g. docs/shoot-mode-page.sh build ja_JP.UTF-8 docs/kodracfg-ja.png
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/bin"
cp "$build/bin/KODRACFG.exe" "$scratch/bin/"
cp "$build/tests/doubles/kodra_double.exe" "$scratch/bin/KODRA.EXE"
env -u DISPLAY LANG="$2" LC_ALL="$2" "$top/tests/session.sh" run "$scratch" KODRACFG
cp "$scratch/screenshots/KODRACFG.png" "$3"
