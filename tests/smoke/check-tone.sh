#!/usr/bin/env bash
# check-tone.sh FILE.mp3 SECONDS HZ: the MP3 decodes to about SECONDS of a tone near HZ.
# Duration within 15 %, frequency (from the left channel's rising zero crossings) within 3 %.
set -u
file=$1 want_s=$2 want_hz=$3
# No file means the capture was skipped (no device, or no Wine for this target).
[ -f "$file" ] || { echo "no MP3 at $file: capture skipped"; exit 77; }
pcm=$(mktemp); trap 'rm -f "$pcm"' EXIT
mpg123 -q -s -e s16 -r 22050 --stereo "$file" 2>/dev/null | od -An -v -td2 -w4 | awk '{ print $1 }' >"$pcm"
frames=$(wc -l <"$pcm")
# Crossings are counted away from both ends (0.2 s each): the encoder pads with silence and
# the capture starts with a transient. The period is the mean of the middle half of the periods between rising crossings, so a
# dropout of the feed on a loaded machine (a few short or long periods) does not move it.
info=$(awk -v lo=4410 -v hi=$((frames - 4410)) '
  { n++; if ($1 > peak) peak = $1
    if (n > lo && n < hi && $1 >= 0 && prev < 0) { if (last) periods[++k] = n - last; last = n }
    prev = $1 }
  END {
    for (i = 2; i <= k; i++) { v = periods[i]; for (j = i - 1; j > 0 && periods[j] > v; j--) periods[j + 1] = periods[j]; periods[j + 1] = v }
    for (i = int(k / 4) + 1; i <= k - int(k / 4); i++) { sum += periods[i]; m++ }
    printf "%d %s %d\n", k, (m ? sum / m : 0), peak }' "$pcm")
read -r count period peak <<<"$info"
awk -v f="$frames" -v k="$count" -v period="$period" -v p="$peak" -v s="$want_s" -v hz="$want_hz" 'BEGIN {
  secs = f / 22050; freq = (period > 0) ? 22050 / period : 0
  printf "decoded %.2f s, %.1f Hz (from %d periods), peak %d\n", secs, freq, k, p
  if (secs < s * 0.85 || secs > s * 1.15) { print "duration off"; exit 1 }
  if (freq < hz * 0.97 || freq > hz * 1.03) { print "frequency off"; exit 1 }
  if (p < 1000) { print "silent"; exit 1 }
}'
