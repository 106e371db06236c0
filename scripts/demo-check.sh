#!/usr/bin/env bash
# Checks the voice message a demo saved: the .eml carries "Kestova_for_Outlook.mp3", whose
# first byte is 0x4D, whose last 128 bytes are an ID3v1 block titled "Voice Email", and which
# mpg123 decodes. Prints "attachment NAME: BYTES bytes, SECONDS s, RATE kbps" and exits 0, or
# names what is wrong and exits 1.
# Usage: demo-check.sh <mail.eml> [minimum seconds]
set -u
eml=$1
min_seconds=${2:-1}
name=Kestova_for_Outlook.mp3
fail() { echo "demo-check: $*" >&2; exit 1; }

[ -f "$eml" ] || fail "no $eml"
command -v mpg123 >/dev/null || fail "mpg123 missing (run ./kestova setup)"
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
mp3=$work/$name

# The part's base64 lines run from the blank line after its headers to the next boundary.
tr -d '\r' <"$eml" | awk -v want="filename=\"$name\"" '
  index($0, want) { inside = 1; next }
  inside == 1 && $0 == "" { inside = 2; next }
  inside == 2 && /^--/ { exit }
  inside == 2 { print }' | base64 -d >"$mp3" 2>/dev/null
bytes=$(stat -c %s "$mp3")
[ "$bytes" -gt 128 ] || fail "no attachment $name in $eml"

[ "$(od -An -tx1 -N1 "$mp3" | tr -d ' ')" = 4d ] || fail "first byte is not 0x4D"
tag=$(tail -c 128 "$mp3" | tr '\0' ' ')
[ "${tag:0:3}" = TAG ] || fail "no ID3v1 block at the end"
[[ "$tag" == *"Voice Email"* ]] || fail "the ID3v1 block has no \"Voice Email\""

header=$(mpg123 -t -v "$mp3" 2>&1 | grep -a -m1 '^MPEG') || fail "mpg123 finds no MPEG frames"
pcm=$(mpg123 -q -s "$mp3" 2>/dev/null | wc -c)
read -r _ _ _ _ mode rate _ <<<"$header"
channels=2; [[ "$header" == *mono* ]] && channels=1
kbps=${mode#cbr}
seconds=$(awk -v b="$pcm" -v r="$rate" -v c="$channels" 'BEGIN { printf "%.1f", b / (r * c * 2) }')
awk -v s="$seconds" -v m="$min_seconds" 'BEGIN { exit !(s >= m) }' || fail "only $seconds s decoded"
echo "attachment $name: $bytes bytes, $seconds s, $kbps kbps"
