#!/usr/bin/env bash
# Signing a release as scripts/sign.sh does it, with a throwaway code-signing certificate and
# GnuPG key made here: the signed DLL, program and installer each pass osslsigncode's check
# against that certificate, SHA256SUMS.asc checks with gpg, and the signed DLL still registers
# and serves a COM client under Wine.
# Usage: signing.sh SOURCE_DIR DLL EXE MSI CLIENT IMAGE EMULATOR...
set -uo pipefail
source_dir=$1 dll=$2 exe=$3 msi=$4 client=$5 image=$6
shift 6
emulator=("$@")
source "$(dirname "$0")/scratch.sh"

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Pixelfold test signing" \
    -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
    -keyout "$work/key.pem" -out "$work/certificate.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/certificate.pem" \
    -passout pass:throwaway -out "$work/signing.p12"
files=(pixelfold.dll pixelfold.exe pixelfold.msi)
cp "$dll" "$work/pixelfold.dll"
cp "$exe" "$work/pixelfold.exe"
cp "$msi" "$work/pixelfold.msi"

PIXELFOLD_SIGN_PKCS12="$work/signing.p12" PIXELFOLD_SIGN_PASSWORD=throwaway \
    bash "$source_dir/scripts/sign.sh" authenticode "${files[@]/#/$work/}" >/dev/null ||
    fail "sign.sh authenticode failed"
for file in "${files[@]}"; do
    out=$(osslsigncode verify -CAfile "$work/certificate.pem" -in "$work/$file" 2>&1) ||
        fail "$file does not verify: $(tail -3 <<<"$out")"
done
out=$(osslsigncode verify -CAfile "$work/certificate.pem" -in "$dll" 2>&1) &&
    fail "the unsigned DLL verifies"

export GNUPGHOME="$work/gnupg"
mkdir -m 700 "$GNUPGHOME"
gpg --batch --quiet --passphrase '' --quick-generate-key "Pixelfold test <test@pixelfold.invalid>" \
    ed25519 sign never 2>/dev/null
(cd "$work" && sha256sum "${files[@]}" >SHA256SUMS)
PIXELFOLD_GPG_KEY="test@pixelfold.invalid" bash "$source_dir/scripts/sign.sh" checksums \
    "$work/SHA256SUMS" >/dev/null || fail "sign.sh checksums failed"
grep -q "BEGIN PGP SIGNATURE" "$work/SHA256SUMS.asc" || fail "SHA256SUMS.asc is not armoured"
gpg --batch --verify "$work/SHA256SUMS.asc" "$work/SHA256SUMS" 2>/dev/null ||
    fail "SHA256SUMS.asc does not verify"

win() { "${emulator[@]}" "$@" 2>&1 | tr -d '\r'; }
signed_dll="Z:$work/pixelfold.dll"
win regsvr32 /s "$signed_dll" >/dev/null
out=$(win "$client" "Z:$image")
[[ $out == *"Width=16,Height="*"ImageFile created"* ]] || fail "the signed DLL in a COM client: $out"
win regsvr32 /s /u "$signed_dll" >/dev/null
exit $((failures > 0))
