#!/usr/bin/env bash
# ./kestova demo web [--interactive]: one voice message through the web add-in's task pane in
# Debian's Chromium on the simulated Outlook on the web (see web/demo.mjs), saved as
# out/demo-web.eml and summed up as the Windows demo does.
# The microphone is the user's PulseAudio (or PipeWire) default source when one answers;
# otherwise the harness's 440 Hz test tone.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
say() { printf '[demo] %s\n' "$*"; }

if [ "${1:-}" = --interactive ] && [ -z "${DISPLAY:-}" ]; then
  say "--interactive needs a desktop (DISPLAY is not set)"; exit 2
fi
scripts/setup.sh >/dev/null || exit 1
./kestova build web >/dev/null || { say "preset web did not build"; exit 1; }
rm -f out/demo-web.eml
if pactl info >/dev/null 2>&1; then
  say "microphone: the default source of your PulseAudio"
  node web/demo.mjs "$@" || exit 1
else
  say "microphone: the harness's 440 Hz test tone"
  # Chromium lists no monitor sources as microphones: the tone is offered through a remapped
  # source of its own.
  scripts/harness.sh -- bash -c 'pactl load-module module-remap-source master=vmic.monitor \
      source_name=tonemic source_properties=device.description=Tone >/dev/null &&
    pactl set-default-source tonemic && node web/demo.mjs "$@"' demo "$@" || exit 1
fi
summary=$(scripts/demo-check.sh out/demo-web.eml 4) || exit 1
say "saved out/demo-web.eml: $summary"
