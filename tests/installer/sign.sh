#!/usr/bin/env bash
# Signing as `./kestova dist --sign` does it, with a throwaway certificate made here: a PE file
# and an MSI verify against that certificate, and fail once a byte after signing changes.
# Usage: sign.sh <scripts/sign.sh> <installer/msi.sh> <zelt.dll> <lame_enc.dll> <zelt.chm>
set -u
sign=$1 build_msi=$2 dll=$3 lame=$4 chm=$5
work="$(pwd)/sign-test"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
for tool in osslsigncode openssl; do
  command -v $tool >/dev/null || { echo "skipped: $tool missing"; exit 77; }
done
trap 'rm -rf "$work"' EXIT
rm -rf "$work"; mkdir -p "$work/files"
cp "$dll" "$lame" "$chm" "$work/files/"
export KESTOVA_SIGN_PASSWORD='pa$$ word'
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 1 \
  -subj "/CN=Kestova test signer" -addext extendedKeyUsage=codeSigning 2>/dev/null \
  && openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/signer.pfx" \
       -passout env:KESTOVA_SIGN_PASSWORD || { echo "FAIL: making the certificate"; exit 1; }
"$build_msi" x64 1.0.0 "$work/files" "$work/test.msi" || { echo "FAIL: building the MSI"; exit 1; }
verify() { osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >/dev/null 2>&1; }
# Flips the byte in the middle of the file: inside the signed content, never the signature.
flip() {
  local offset=$(($(stat -c %s "$1") / 2)) byte
  byte=$(od -An -tu1 -j"$offset" -N1 "$1" | tr -d ' ')
  printf "\\$(printf %03o $((byte ^ 255)))" | dd of="$1" bs=1 seek="$offset" conv=notrunc status=none
}

files=("$work/files/zelt.dll" "$work/test.msi")
verify "${files[0]}" && fail "an unsigned zelt.dll verifies"
"$sign" "$work/signer.pfx" "" "${files[@]}" || fail "sign.sh exited with $?"
for f in "${files[@]}"; do
  verify "$f" || fail "$(basename "$f") does not verify after signing"
  osslsigncode verify -CAfile "$work/cert.pem" -in "$f" 2>/dev/null | grep -Eq 'Message digest algorithm +: SHA256' \
    || fail "$(basename "$f") is not signed with SHA-256"
  flip "$f"
  verify "$f" && fail "$(basename "$f") still verifies with a byte changed"
done
KESTOVA_SIGN_PASSWORD=wrong "$sign" "$work/signer.pfx" "" "$work/files/lame_enc.dll" 2>/dev/null \
  && fail "signing with a wrong password succeeded"
cmp -s "$lame" "$work/files/lame_enc.dll" || fail "a failed signing changed lame_enc.dll"

[ $failures -eq 0 ] && echo "sign: all checks passed"
exit $((failures > 0))
