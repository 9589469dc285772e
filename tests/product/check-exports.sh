#!/bin/bash
# Usage: check-exports.sh OBJDUMP BINDING_SOURCE DLL [LEFT_OUT...]
# Fails unless DLL exports exactly the names the binding looks up (the kEntryNames
# table of BINDING_SOURCE), undecorated, less the LEFT_OUT ones.
set -u
objdump=$1 source=$2 dll=$3
shift 3

looked_up=$(sed -n '/kEntryNames\[.*= *{/,/};/{p;/};/q}' "$source" | grep -o '"[^"]*"' | tr -d '"' | sort)
if [[ -z $looked_up ]]; then
    echo "$source: no kEntryNames table of entry names found"
    exit 1
fi
status=0
for name in "$@"; do
    if ! grep -qxF "$name" <<<"$looked_up"; then
        echo "$dll: $name is left out but the binding does not look it up"
        status=1
    fi
done
expected=$(grep -vxF -f <(printf '%s\n' "$@") <<<"$looked_up")

if ! dump=$("$objdump" -p "$dll" 2>&1); then
    echo "$dll: cannot be read: $dump"
    exit 1
fi
exported=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/s/^[[:space:]]*\[ *[0-9]*\] //p' <<<"$dump" | sort)

while read -r name; do
    [[ -n $name ]] && echo "$dll: does not export $name" && status=1
done < <(comm -23 <(echo "$expected") <(echo "$exported"))
while read -r name; do
    [[ -n $name ]] && echo "$dll: exports $name, not one of the expected undecorated names" && status=1
done < <(comm -13 <(echo "$expected") <(echo "$exported"))
exit $status
