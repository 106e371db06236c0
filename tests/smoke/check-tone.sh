#!/usr/bin/env bash
# check-tone.sh FILE.mp3 SECONDS HZ: the MP3 decodes to about SECONDS of a tone near HZ.
# Duration within 15 %, frequency (from zero crossings of the left channel) within 3 %.
set -u
file=$1 want_s=$2 want_hz=$3
# No file means the capture was skipped (no device, or no Wine for this target).
[ -f "$file" ] || { echo "no MP3 at $file: capture skipped"; exit 77; }
pcm=$(mktemp); trap 'rm -f "$pcm"' EXIT
mpg123 -q -s -e s16 -r 22050 --stereo "$file" 2>/dev/null | od -An -v -td2 -w4 | awk '{ print $1 }' >"$pcm"
frames=$(wc -l <"$pcm")
# Crossings are counted away from both ends (0.2 s each): the encoder pads with silence and
# the capture starts with a transient.
info=$(awk -v lo=4410 -v hi=$((frames - 4410)) '
  { n++; if ($1 > peak) peak = $1
    if (n > lo && n < hi && (($1 >= 0) != (prev >= 0))) { z++; if (!first) first = n; last = n }
    prev = $1 }
  END { printf "%d %d %d\n", z, last - first, peak }' "$pcm")
read -r crossings span peak <<<"$info"
awk -v f="$frames" -v z="$crossings" -v span="$span" -v p="$peak" -v s="$want_s" -v hz="$want_hz" 'BEGIN {
  secs = f / 22050; freq = (span > 0) ? (z - 1) / 2 / (span / 22050) : 0
  printf "decoded %.2f s, %.1f Hz, peak %d\n", secs, freq, p
  if (secs < s * 0.85 || secs > s * 1.15) { print "duration off"; exit 1 }
  if (freq < hz * 0.97 || freq > hz * 1.03) { print "frequency off"; exit 1 }
  if (p < 1000) { print "silent"; exit 1 }
}'
