#!/bin/bash
# Usage: check-images.sh OBJDUMP FOLDER FILE=KIND...
# Fails unless each FILE in FOLDER is a 32-bit PE image (i386, PE32) of its KIND:
# gui or console (a program of that subsystem) or dll; and every program or DLL in
# FOLDER is one of the FILEs.
set -u
objdump=$1 folder=$2
shift 2
status=0
fail() { echo "$1"; status=1; }

declare -A listed
for entry in "$@"; do
    name=${entry%%=*} kind=${entry#*=}
    listed[$name]=1
    file=$folder/$name
    if ! header=$("$objdump" -p "$file" 2>&1); then
        fail "$file: not readable as a 32-bit PE image: $header"
        continue
    fi
    format=$(sed -n 's/.*: *file format //p' <<<"$header")
    [[ $format == pei-i386 ]] || fail "$file: file format is '$format', not pei-i386 (an i386 PE image)"
    magic=$(awk '$1 == "Magic" {print $2}' <<<"$header")
    [[ $magic == 010b ]] || fail "$file: optional header magic is '$magic', not 010b (PE32)"
    subsystem=$(awk '$1 == "Subsystem" {print $2, $3, $4}' <<<"$header")
    dll=no
    grep -qx $'\tDLL' <<<"$header" && dll=yes
    case $kind in
        gui | console)
            [[ $kind == gui ]] && want="00000002 (Windows GUI)" || want="00000003 (Windows CUI)"
            [[ $subsystem == "$want" ]] || fail "$file: subsystem is '$subsystem', not $want"
            [[ $dll == no ]] || fail "$file: Characteristics has the DLL flag; a program must not"
            ;;
        dll) [[ $dll == yes ]] || fail "$file: Characteristics lacks the DLL flag" ;;
        *) fail "$file: unknown kind '$kind'" ;;
    esac
done

shopt -s nullglob
for file in "$folder"/*.exe "$folder"/*.dll; do
    [[ -n ${listed[${file##*/}]:-} ]] || fail "$file: shipped, but no kind is expected of it here"
done
exit $status
