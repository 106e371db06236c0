#!/usr/bin/env bash
# Signs files in place with Authenticode (SHA-256) through Debian's osslsigncode; PE files and
# MSIs alike. The certificate's password comes from KESTOVA_SIGN_PASSWORD and reaches
# osslsigncode through a pipe, never on a command line that `ps` shows.
# Usage: sign.sh <certificate.pfx> <timestamp URL or ""> FILE...
set -euo pipefail
pfx=$1 timestamp=$2
shift 2
command -v osslsigncode >/dev/null || { echo "sign.sh: osslsigncode missing (Debian package osslsigncode)" >&2; exit 1; }
[ -f "$pfx" ] || { echo "sign.sh: no certificate file $pfx" >&2; exit 1; }
[ -n "${KESTOVA_SIGN_PASSWORD+set}" ] || { echo "sign.sh: KESTOVA_SIGN_PASSWORD is not set" >&2; exit 1; }
stamp=()
[ -z "$timestamp" ] || stamp=(-ts "$timestamp")
for file in "$@"; do
  signed="$file.signing"
  rm -f "$signed"
  osslsigncode sign -pkcs12 "$pfx" -readpass <(printf '%s' "$KESTOVA_SIGN_PASSWORD") -h sha256 \
    -n "Kestova for Outlook" -i "http://www.kestova.example/" "${stamp[@]}" -in "$file" -out "$signed" >/dev/null \
    || { rm -f "$signed"; echo "sign.sh: signing $file failed" >&2; exit 1; }
  mv "$signed" "$file"
done
