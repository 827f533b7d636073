#!/usr/bin/env bash
# The DLLs a Windows binary imports are exactly the ones it may import, and each of them is a
# KnownDLL, which Windows maps from System32 whatever folder the program is started from; any
# other import could be planted beside the program.
# Usage: imports.sh OBJDUMP BINARY ALLOWED_DLL...
set -euo pipefail
objdump=$1 binary=$2
shift 2
known_dlls=(advapi32 combase comdlg32 gdi32 imagehlp imm32 kernel32 msvcrt ole32 oleaut32 psapi
    rpcrt4 sechost setupapi shell32 shlwapi user32 ws2_32)
status=0
for allowed in "$@"; do
    if [[ " ${known_dlls[*]} " != *" $allowed "* ]]; then
        echo "FAIL: $allowed is in the allowed list but is not a KnownDLL"
        status=1
    fi
done
mapfile -t imports < <("$objdump" -p "$binary" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z' |
    sed 's/\.dll$//' | sort)
expected=$(printf '%s\n' "$@" | sort)
actual=$(printf '%s\n' "${imports[@]}")
if [ "$actual" != "$expected" ]; then
    echo "FAIL: $(basename "$binary") imports: $(echo $actual); expected: $(echo $expected)"
    status=1
fi
exit $status
