#!/usr/bin/env bash
# Installs, upgrades and removes the Windows installer silently under Wine in the build's
# prefix: the registry after installing must equal, row for row, what regsvr32 writes from the
# same folder; an earlier release's entry under the host's FileFormats key goes; a COM client
# finds the classes; removing leaves the registry and the disk as before, but for a foreign
# subkey, which stays; a newer package replaces an older one.
# Usage: msi.sh PREFIX DLL NEW_MSI OLD_MSI VERSION CLIENT IMAGE EMULATOR...
# (DLL, NEW_MSI, OLD_MSI and IMAGE as Linux paths; EMULATOR runs a Windows program.)
set -uo pipefail
prefix=$1 dll=$2 new_msi=$3 old_msi=$4 version=$5 client=$6 image=$7
shift 7
emulator=("$@")

classes='HKLM\Software\Classes'
file_formats='HKLM\Software\Velmora\Applications\Orbenfile\FileFormats'
removed_entry="$file_formats\\{A6260D70-CA17-11D5-9179-00C04F56B3AF}"
other_entry="$file_formats\\{5D3C2A71-0B4E-4C52-9A3E-6E2F1B7C8D90}"
uninstall_keys='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
folder="$prefix/drive_c/Program Files/Pixelfold"
installed_dll='C:\Program Files\Pixelfold\pixelfold.dll'
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

win() { "${emulator[@]}" "$@"; }
windows_path() { local path=${1//\//\\}; echo "Z:$path"; }
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
expect() {  # expect DESCRIPTION COMMAND...: the command must succeed
    local what=$1
    shift
    "$@" >"$work/out" 2>&1 || fail "$what: $(cat "$work/out")"
}
exists() { win reg query "$1" >/dev/null 2>&1; }

# The classes' registry as text, without Windows Installer's own records of its products.
snapshot() {
    win reg export "$classes" "$(windows_path "$work/export.reg")" /y >/dev/null 2>&1 ||
        fail "reg export"
    iconv -f UTF-16LE -t UTF-8 "$work/export.reg" | tr -d '\r' |
        awk '/^\[/ { skip = ($0 ~ /^\[HKEY_LOCAL_MACHINE\\Software\\Classes\\Installer[]\\]/) } !skip' \
            >"$work/$1"
}
same() {  # same SNAPSHOT SNAPSHOT WHEN
    diff "$work/$1" "$work/$2" >"$work/diff" || fail "$3: the registry differs:
$(head -40 "$work/diff")"
}
# Programs and Features: one "Pixelfold" entry showing VERSION, or none when VERSION is empty.
listed() {
    win reg query "$uninstall_keys" /s >"$work/arp" 2>/dev/null
    local names versions
    names=$(tr -d '\r' <"$work/arp" | grep -cE 'DisplayName +REG_SZ +Pixelfold$')
    versions=$(tr -d '\r' <"$work/arp" | grep -cE "DisplayVersion +REG_SZ +$1\$")
    if [ -z "$1" ]; then
        [ "$names" -eq 0 ] || fail "$2: still listed in Programs and Features"
    elif [ "$names" -ne 1 ] || [ "$versions" -ne 1 ]; then
        fail "$2: $names entries in Programs and Features, $versions of version $1"
    fi
}
seed_host_key() {
    win reg add "$removed_entry\\Settings" /v Kept /d no /f >/dev/null
    win reg add "$other_entry" /ve /d "another plug-in" /f >/dev/null
}

# Refused on 32-bit Windows: the package is for x64, and says why if started there anyway.
summary=$(msiinfo suminfo "$new_msi")
[[ $summary == *"Template: x64;"* ]] || fail "the package is not marked x64"
conditions=$(msiinfo export "$new_msi" LaunchCondition)
[[ $conditions == *"VersionNT64"$'\t'"Pixelfold needs a 64-bit"* ]] ||
    fail "no launch condition refuses 32-bit Windows"

new=$(windows_path "$new_msi")
old=$(windows_path "$old_msi")
# Whatever an interrupted run left behind.
win msiexec /x "$new" /qn >/dev/null 2>&1
win msiexec /x "$old" /qn >/dev/null 2>&1
win reg delete "$classes\\Pixelfold.ImageFormat" /f >/dev/null 2>&1
rm -rf "$folder"

seed_host_key
snapshot before

# What the DLL's own registration writes from the installation folder.
mkdir -p "$folder" && cp "$dll" "$folder/"
expect "regsvr32" win regsvr32 /s "$installed_dll"
snapshot regsvr32
expect "regsvr32 /u" win regsvr32 /s /u "$installed_dll"
rm -rf "$folder"
seed_host_key

expect "msiexec /i" win msiexec /i "$new" /qn
snapshot installed
same regsvr32 installed "installed"
exists "$removed_entry" && fail "the earlier release's entry is still there"
exists "$other_entry" || fail "another entry under FileFormats went"
for file in pixelfold.dll README.md LICENSE THIRD-PARTY.md; do
    [ -f "$folder/$file" ] || fail "$file is not installed"
done
listed "$version" "installed"
client_output=$(win "$client" "$(windows_path "$image")" 2>&1 | tr -d '\r')
[[ $client_output == *"Width=16,Height="*"ImageFile created"* ]] ||
    fail "the COM client: $client_output"

win reg add "$classes\\Pixelfold.ImageFormat\\Foreign" /ve /d "another program" /f >/dev/null
expect "msiexec /x" win msiexec /x "$new" /qn
exists "$classes\\Pixelfold.ImageFormat\\Foreign" || fail "removing took a foreign subkey"
win reg delete "$classes\\Pixelfold.ImageFormat" /f >/dev/null 2>&1
snapshot removed
same before removed "removed"
[ -e "$folder" ] && fail "the folder is still there after removing: $(ls "$folder")"
listed "" "removed"

expect "msiexec /i (older)" win msiexec /i "$old" /qn
listed 0.0.0 "older installed"
expect "msiexec /i (upgrade)" win msiexec /i "$new" /qn
snapshot upgraded
same installed upgraded "upgraded"
listed "$version" "upgraded"
expect "msiexec /x (upgraded)" win msiexec /x "$new" /qn
snapshot upgraded_removed
same before upgraded_removed "upgraded, then removed"
[ -e "$folder" ] && fail "the folder is still there after removing the upgrade"
listed "" "upgraded, then removed"

win reg delete "$other_entry" /f >/dev/null 2>&1
exit $((failures > 0))
