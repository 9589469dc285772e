#!/bin/bash
# One entry point for a fresh Debian machine.
#   ./build.sh test                 install what is missing, build, run every test
#   ./build.sh run [PROGRAM [ARGS]] install, build, run PROGRAM (the wizard KODRACFG
#                                   when none is named) from the demo installation
#                                   under Wine
#   ./build.sh suite                run the built tests (what "test" ends with)
# Both widths are always built: the 32-bit product in build/ (build/bin) and the
# same tree for x86-64 in build/x64. The Windows tests and the demo run on the
# 32-bit build where this machine executes 32-bit code, else on the 64-bit one
# under 64-bit Wine.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
build="$top/build"

# fonts-wqy-microhei: the glyphs of the Japanese, Korean and Chinese dialogs,
# which Wine finds through fontconfig. llvm-14: the line coverage that
# tests/fuzz/run-fuzz.sh reports. x11-utils: xdpyinfo and xprop, which
# tell whether a session's display answers.
packages=(cmake make g++ g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix googletest
          fonts-wine fonts-wqy-microhei xvfb xauth xdotool x11-utils procps iproute2 util-linux
          imagemagick clang libclang-rt-14-dev llvm-14)

# Whether this kernel executes 32-bit x86 programs: a static i386 program of a
# few bytes that only exits with status 0. Where it cannot run, the shell says
# "Exec format error" and gives 126.
runs_32bit_code() {
  local probe rc=0
  probe=$(mktemp)
  base64 -d >"$probe" <<'ELF'
f0VMRgEBAQAAAAAAAAAAAAIAAwABAAAAVIAECDQAAAAAAAAAAAAAADQAIAABAAAAAAAAAAEAAAAAAAAAAIAECACABAhdAAAAXQAAAAUAAAAAEAAAuAEAAAAx282A
ELF
  chmod +x "$probe"
  "$probe" 2>/dev/null || rc=$?
  rm -f "$probe"
  return "$rc"
}

if runs_32bit_code; then
  width=32 tree="$build"
  packages+=(wine wine32:i386)
else
  width=64 tree="$build/x64"
  packages+=(wine wine64)
fi

install_missing() {
  local missing=() p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  if [ "$width" = 32 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  echo "build.sh: installing ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Build output goes to a log that is shown only when a step fails.
quiet() {
  mkdir -p "$build"
  if ! "$@" >"$build/build.log" 2>&1; then
    cat "$build/build.log" >&2
    echo "build.sh: failed: $*" >&2
    exit 1
  fi
}

build_all() {
  local jobs; jobs=$(nproc)
  quiet cmake -S "$top/tests/native" -B "$build/native" -DCMAKE_BUILD_TYPE=Debug
  quiet cmake --build "$build/native" -j "$jobs"
  quiet cmake -S "$top/tests/fuzz" -B "$build/fuzz" -DCMAKE_CXX_COMPILER=clang++
  quiet cmake --build "$build/fuzz" -j "$jobs"
  local common=(-DCMAKE_BUILD_TYPE=Release -DKODRA_NATIVE_DIR="$build/native" -DKODRA_FUZZ_DIR="$build/fuzz")
  quiet cmake -S "$top" -B "$build" "${common[@]}" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake"
  quiet cmake --build "$build" -j "$jobs"
  quiet cmake -S "$top" -B "$build/x64" "${common[@]}" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-x86_64.cmake" \
        -DKODRA_PRODUCT_DIR="$build"
  quiet cmake --build "$build/x64" -j "$jobs"
}

# Test sessions side by side, two cores each; one where they could not have
# networks of their own, since then their fixed ports would meet.
session_count() {
  local n=$(( $(nproc) / 2 ))
  [ "$n" -le 4 ] || n=4
  [ "$n" -ge 1 ] || n=1
  if [ "$(id -u)" -ne 0 ] || ! unshare -n true 2>/dev/null; then n=1; fi
  echo "$n"
}

case "${1:-}" in
  test)
    install_missing
    build_all
    # The tests reach nothing but loopback: in a network namespace of their own
    # no name lookup or stray connection leaves the machine.
    if [ "$(id -u)" -eq 0 ] && unshare -n true 2>/dev/null; then
      exec unshare -n bash -c 'ip link set lo up && exec "$0" suite' "$top/build.sh"
    fi
    exec "$top/build.sh" suite
    ;;
  suite)
    if [ "$width" = 32 ]; then
      echo "build.sh: the Windows tests run on the 32-bit build (build/bin) under Wine"
    else
      echo "build.sh: the Windows tests run on the 64-bit build (build/x64/bin) under 64-bit Wine:" \
           "this machine executes no 32-bit code"
    fi
    if ! "$top/tests/session.sh" check "$tree"; then
      echo "build.sh: no Wine can start here, so the Windows tests cannot run: the suite fails" >&2
      exit 1
    fi
    "$top/tests/session.sh" start "$tree" "$(session_count)"
    rc=0
    (cd "$tree" && ctest --output-on-failure -j "$(nproc)" \
                         --resource-spec-file "$tree/session/resources.json") 2>&1 |
      tee "$build/ctest.log" || rc=$?
    "$top/tests/session.sh" stop "$tree"
    exit $rc
    ;;
  run)
    shift
    [ $# -ge 1 ] || set -- KODRACFG
    install_missing
    build_all
    exec "$top/tests/session.sh" run "$tree" "$@"
    ;;
  *)
    echo "usage: $0 test | run [PROGRAM [ARGS...]]" >&2
    exit 2
    ;;
esac
