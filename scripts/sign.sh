#!/usr/bin/env bash
# Signs release files with the maintainer's keys.
#   sign.sh authenticode FILE...  Authenticode (SHA-256) signatures on Windows binaries and
#                                 installers, in place, with osslsigncode. Needs
#                                 PIXELFOLD_SIGN_PKCS12 (a PKCS#12 file with the code-signing
#                                 key and certificate) and PIXELFOLD_SIGN_PASSWORD; adds an
#                                 RFC 3161 time stamp from PIXELFOLD_SIGN_TIMESTAMP_URL when set.
#   sign.sh checksums FILE        A detached, armoured FILE.asc by the GnuPG key
#                                 PIXELFOLD_GPG_KEY.
# The password reaches osslsigncode on its standard input, never on its command line.
set -euo pipefail

authenticode() {
    : "${PIXELFOLD_SIGN_PKCS12:?names no PKCS#12 file}" "${PIXELFOLD_SIGN_PASSWORD?is not set}"
    local timestamp=()
    if [ -n "${PIXELFOLD_SIGN_TIMESTAMP_URL:-}" ]; then
        timestamp=(-ts "$PIXELFOLD_SIGN_TIMESTAMP_URL")
    fi
    local file
    for file in "$@"; do
        printf '%s' "$PIXELFOLD_SIGN_PASSWORD" |
            osslsigncode sign -pkcs12 "$PIXELFOLD_SIGN_PKCS12" -readpass - -h sha256 \
                -n "Pixelfold" "${timestamp[@]}" -in "$file" -out "$file.signed" >/dev/null
        mv "$file.signed" "$file"
        echo "signed $(basename "$file")"
    done
}

checksums() {
    : "${PIXELFOLD_GPG_KEY:?names no GnuPG key}"
    gpg --batch --yes --local-user "$PIXELFOLD_GPG_KEY" --armor --detach-sign \
        --output "$1.asc" "$1"
    echo "signed $(basename "$1") ($(basename "$1").asc)"
}

case "${1:-}" in
authenticode | checksums) "$@" ;;
*)
    echo "usage: sign.sh authenticode FILE... | sign.sh checksums FILE" >&2
    exit 2
    ;;
esac
