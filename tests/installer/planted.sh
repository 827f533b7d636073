#!/usr/bin/env bash
# A DLL planted beside the programs (CWE-427): version.dll and gdiplus.dll that leave a marker
# when loaded, put beside pixelfold.exe and pixelfold.dll as the zip lays them out and beside a
# second copy of the DLL loaded with --plugin. Wine is told to prefer a native DLL of those
# names wherever it is found, as Windows searches for a DLL that is not a KnownDLL. The programs
# must never load them, and must still work: --version names the plug-in's version, and an
# image's metadata reads through the system's GDI+.
# Usage: planted.sh WINE64 PREFIX EXE DLL PLANTED_DLL VERSION
set -uo pipefail
wine64=$1 prefix=$2 exe=$3 dll=$4 planted=$5 version=$6
source "$(dirname "$0")/scratch.sh"

for folder in zip other; do
    mkdir -p "$work/$folder"
    cp "$dll" "$work/$folder/pixelfold.dll"
    cp "$planted" "$work/$folder/version.dll"
    cp "$planted" "$work/$folder/gdiplus.dll"
done
cp "$exe" "$work/zip/pixelfold.exe"
# A PNG with a gAMA chunk (gamma 1/2.2), whose item Wine's GDI+ returns.
python3 - "$work/gamma.png" <<'PYTHON'
import struct, sys, zlib
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 1, 1, 8, 0, 0, 0, 0))
       + chunk(b"gAMA", struct.pack(">I", 45455)) + chunk(b"IDAT", zlib.compress(b"\0\0"))
       + chunk(b"IEND", b""))
open(sys.argv[1], "wb").write(png)
PYTHON

run() {
    (cd "$work/zip" && WINEPREFIX="$prefix" WINEDEBUG=-all \
        WINEDLLOVERRIDES="mscoree,mshtml=;version,gdiplus=n,b" "$wine64" "$@" 2>&1 | tr -d '\r')
}
image="Z:$work/gamma.png"
out=$(run ./pixelfold.exe --version)
[[ $out == *"pixelfold $version"*"pixelfold.dll $version"* ]] || fail "--version printed: $out"
out=$(run ./pixelfold.exe --json --names Width,PropertyTagGamma "$image")
[[ $out == *'"Width":1,"PropertyTagGamma":'* ]] || fail "the PNG beside the planted DLLs: $out"
out=$(run ./pixelfold.exe --plugin "Z:$work/other/pixelfold.dll" --json \
    --names Width,PropertyTagGamma "$image")
[[ $out == *'"Width":1,"PropertyTagGamma":'* ]] || fail "the PNG with --plugin: $out"

for marker in "$work"/*/*.ran; do
    [ -e "$marker" ] && fail "a planted DLL was loaded: ${marker#"$work"/}"
done
exit $((failures > 0))
