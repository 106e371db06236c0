#!/usr/bin/env bash
# The test harness: runs one command inside a private test world and tears it down after,
# pass or fail. The world is
#   - an Xvfb display on a free TCP display number (no files in /tmp),
#   - a private PulseAudio daemon (own runtime dir and socket, never the user's) with a null
#     sink "spk" as speaker and a null sink "vmic" fed in real time with a 440 Hz tone; the
#     monitor of "vmic" is the default source, i.e. the test microphone, which a test can switch
#     between tone and silence (see start_tone_switch). PulseAudio's own sine
#     source bursts 2 s at a time, which Wine's 100 ms record queue drops, hence the pacat feed.
#     Wine names each capture device after its source: the tone is "Monitor of Tone", and a
#     second null sink's monitor, "Monitor of Silent", hears nothing.
#   - for each --prefix DIR:ARCH, a Wine prefix (created if missing) with a persistent
#     wineserver and one detached Wine process, so that services.exe and explorer.exe are
#     started once and not by every test (each start would hold ctest's pipes for ~3.6 s).
# Usage: harness.sh [--prefix DIR:win32|win64]... -- command [args...]
# Everything started is stopped by pid (and wineserver -k) when the command ends.
set -u
prefixes=()
while [ $# -gt 0 ]; do
  case $1 in
    --prefix) prefixes+=("$2"); shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { echo "usage: harness.sh [--prefix DIR:ARCH]... -- command" >&2; exit 2; }

root=$(cd "$(dirname "$0")/.." && pwd)
run=$(mktemp -d "$root/build/harness.XXXXXX" 2>/dev/null || { mkdir -p "$root/build" && mktemp -d "$root/build/harness.XXXXXX"; })
chmod 700 "$run"
pids=()

say() { printf '[harness] %s\n' "$*" >&2; }

wait_for() {  # wait_for SECONDS command...: polls until the command succeeds
  local limit=$1; shift
  local deadline=$((SECONDS + limit))
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.1
  done
}

port_free() { ! (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

start_xvfb() {
  local n
  for n in $(seq 90 140); do port_free $((6000 + n)) && break; done
  Xvfb ":$n" -nolock -nolisten unix -nolisten local -listen tcp -ac -screen 0 1024x768x24 \
    >"$run/xvfb.log" 2>&1 &
  pids+=($!)
  export DISPLAY="127.0.0.1:$n"
  wait_for 20 bash -c "exec 3<>/dev/tcp/127.0.0.1/$((6000 + n))" || say "Xvfb did not come up (see $run/xvfb.log)"
}

start_pulse() {
  local d="$run/pulse"
  mkdir -p "$d/state"; chmod 700 "$d"
  export PULSE_RUNTIME_PATH="$d" PULSE_STATE_PATH="$d/state" PULSE_SERVER="unix:$d/native"
  export PULSE_COOKIE="$d/cookie"
  setsid pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --use-pid-file=yes \
    --disable-shm=yes --log-target="file:$run/pulse.log" \
    --load="module-native-protocol-unix socket=$d/native auth-anonymous=1" \
    --load="module-null-sink sink_name=spk rate=44100 norewinds=1" \
    --load="module-null-sink sink_name=vmic rate=22050 format=s16le channels=2 norewinds=1 sink_properties=device.description=Tone" \
    >/dev/null 2>&1 &
  pids+=($!)
  if ! wait_for 20 pactl info; then say "PulseAudio did not come up (see $run/pulse.log)"; return; fi
  pactl set-default-source vmic.monitor
  pactl set-default-sink spk
  # Ten hours of tone: longer than any run; it is killed with the harness.
  setsid bash -c 'sox -q -n -r 22050 -c 2 -b 16 -e signed-integer -t raw - synth 36000 sine 440 vol 0.5 |
    pacat --playback -d vmic --format=s16le --rate=22050 --channels=2 --latency-msec=50' \
    >/dev/null 2>&1 &
  pids+=($!)
}

# The test microphone's switch: a test writes "tone", "silence" or "unplugged" into
# $KESTOVA_TONE_SWITCH, and once the microphone is so the harness writes the same word into
# $KESTOVA_TONE_SWITCH.state. Silence is the muted monitor source: its clients get zeros
# (measured). Unplugged suspends the "vmic" sink, so its monitor delivers nothing more, as a
# removed device would; unloading its module would not do, since PulseAudio moves the streams to
# another source, and this pactl cannot kill them. Tone or silence wakes it again.
start_tone_switch() {
  local switch="$run/tone-switch"
  echo tone >"$switch"; echo tone >"$switch.state"
  export KESTOVA_TONE_SWITCH="$switch"
  setsid bash -c '
    switch=$1; state=tone
    while sleep 0.05; do
      read -r want <"$switch" 2>/dev/null || continue
      want=${want%%[[:space:]]*}  # Windows writers end lines with CR LF
      [ "$want" = "$state" ] && continue
      case $want in
        tone) pactl suspend-sink vmic 0 && pactl set-source-mute vmic.monitor 0 || continue ;;
        silence) pactl suspend-sink vmic 0 && pactl set-source-mute vmic.monitor 1 || continue ;;
        unplugged) pactl suspend-sink vmic 1 || continue ;;
        *) continue ;;
      esac
      state=$want
      echo "$state" >"$switch.state.new" && mv "$switch.state.new" "$switch.state"
    done' tone-switch "$switch" >/dev/null 2>&1 &
  pids+=($!)
}

# A small drive for disk-full tests, where the machine allows the mount: a 64 KB tmpfs whose
# folder KESTOVA_SMALL_DRIVE names.
small_drive=
start_small_drive() {
  local dir="$run/small-drive"
  mkdir -p "$dir"
  mount -t tmpfs -o size=64k,mode=0700 kestova-small "$dir" 2>/dev/null || return 0
  small_drive=$dir
  export KESTOVA_SMALL_DRIVE="$dir"
}

add_silent_source() {  # a second microphone, for choosing one by name
  pactl info >/dev/null 2>&1 || return
  pactl load-module module-null-sink sink_name=quiet rate=22050 format=s16le channels=2 norewinds=1 \
    sink_properties=device.description=Silent >/dev/null
}

start_wine() {  # start_wine DIR ARCH
  local dir=$1 arch=$2 loader
  loader=$("$root/scripts/wine-loader" "$arch") || { say "$arch: $loader"; return; }
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$dir"
  if [ ! -f "$dir/system.reg" ]; then
    say "creating Wine prefix $dir ($arch)"
    WINEPREFIX=$dir WINEARCH=$arch WINELOADER=$loader timeout 180 "$loader" wineboot -i </dev/null >/dev/null 2>&1 \
      || say "wineboot failed for $dir"
  fi
  WINEPREFIX=$dir wineserver -p
  # A detached Wine process holding the prefix's system processes up for the whole run.
  # (cmd's pause waits on a pipe that never delivers.)
  WINEPREFIX=$dir WINEARCH=$arch WINELOADER=$loader setsid bash -c "sleep infinity | '$loader' cmd /c pause" \
    >/dev/null 2>&1 &
  pids+=($!)
  WINEPREFIX=$dir WINEARCH=$arch WINELOADER=$loader timeout 60 "$loader" cmd /c exit </dev/null >/dev/null 2>&1
}

stop_all() {
  local entry pid
  for entry in "${prefixes[@]}"; do
    WINEPREFIX=${entry%:*} timeout 20 wineserver -k >/dev/null 2>&1
  done
  for pid in "${pids[@]}"; do
    kill -TERM -- "-$pid" 2>/dev/null || kill -TERM "$pid" 2>/dev/null
  done
  sleep 0.2
  for pid in "${pids[@]}"; do
    kill -KILL -- "-$pid" 2>/dev/null; kill -KILL "$pid" 2>/dev/null
  done
  wait 2>/dev/null
  [ -z "$small_drive" ] || umount "$small_drive"
  rm -rf "$run"
}
trap stop_all EXIT
trap 'exit 130' INT TERM

start_xvfb
start_pulse
start_tone_switch
start_small_drive
add_silent_source
for entry in "${prefixes[@]}"; do
  start_wine "${entry%:*}" "${entry##*:}"
done
"$@"
