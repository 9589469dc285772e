#!/bin/bash
# One entry point for a fresh Debian machine.
#   ./build.sh test                 install what is missing, build, run every test
#   ./build.sh run [PROGRAM [ARGS]] install, build, run PROGRAM (the wizard KODRACFG
#                                   when none is named) from the demo installation
#                                   build/demo under Wine
#   ./build.sh suite                run the built tests (what "test" ends with)
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
build="$top/build"

# fonts-wqy-microhei: the glyphs of the Japanese, Korean and Chinese dialogs,
# which Wine finds through fontconfig.
packages=(cmake make g++ g++-mingw-w64-i686 googletest wine wine32:i386 fonts-wine
          fonts-wqy-microhei xvfb xauth xdotool procps iproute2 imagemagick
          clang libclang-rt-14-dev)

install_missing() {
  local missing=() p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
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
  quiet cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" \
        -DKODRA_NATIVE_DIR="$build/native" -DKODRA_FUZZ_DIR="$build/fuzz"
  quiet cmake --build "$build" -j "$jobs"
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
    ctest_args=(--output-on-failure -j "$(nproc)")
    if "$top/tests/session.sh" check "$build"; then
      "$top/tests/session.sh" start "$build"
    else
      # Without Wine only the native tests and the fuzz targets can run.
      windows=$(cd "$build" && ctest -N -L windows | sed -n 's/^Total Tests: //p')
      echo "build.sh: the $windows Windows tests (CTest label windows) are not run on this machine"
      ctest_args+=(-LE windows)
    fi
    rc=0
    (cd "$build" && ctest "${ctest_args[@]}") 2>&1 | tee "$build/ctest.log" || rc=$?
    "$top/tests/session.sh" stop "$build"
    exit $rc
    ;;
  run)
    shift
    [ $# -ge 1 ] || set -- KODRACFG
    install_missing
    build_all
    exec "$top/tests/session.sh" run "$build" "$@"
    ;;
  *)
    echo "usage: $0 test | run [PROGRAM [ARGS...]]" >&2
    exit 2
    ;;
esac
