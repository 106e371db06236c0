#!/usr/bin/env bash
# Installs what the three builds and their tests need, from Debian only, then builds the
# Windows-side third-party libraries. Idempotent: when every package is present it asks apt
# nothing and takes well under a second.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

packages=(
  # native build and tests
  g++ cmake make pkg-config googletest libgtest-dev libbenchmark-dev
  libjpeg-dev libmp3lame-dev libmpg123-dev mpg123 lame sox
  # fuzz targets (libFuzzer)
  clang-14 libclang-rt-14-dev
  # Windows cross builds and the third-party sources
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools nasm dpkg-dev
  # Wine, display, audio (MP3 through MCI needs GStreamer for each architecture)
  wine wine64 wine32:i386 xvfb x11-apps imagemagick
  pulseaudio pulseaudio-utils libpulse0:i386
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386
  # the help file zelt.chm (Free Pascal's chmcmd), the setup program (makensis), the MSIs
  # (wixl, msitools), Authenticode signing (osslsigncode), the policy templates' check (xmllint)
  fp-utils nsis wixl msitools osslsigncode libxml2-utils
  # the web add-in's audio core in WebAssembly (Node is the machine's own)
  emscripten
  # the web add-in's browser tests and demo (Node.js and npm come with the machine)
  chromium
)

say() { printf '[setup] %s\n' "$*"; }

missing_packages() {
  local p status
  for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Abbrev}' "$p" 2>/dev/null || true)
    [ "${status:0:2}" = "ii" ] || echo "$p"
  done
}

enable_sources() {
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  # apt-get source needs deb-src entries next to the binary ones.
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && sed -i -E 's/^Types: deb$/Types: deb deb-src/' "$f"
  done
  if [ -f /etc/apt/sources.list ] && ! grep -q '^deb-src' /etc/apt/sources.list; then
    sed -n -E 's/^deb (.*)$/deb-src \1/p' /etc/apt/sources.list >> /etc/apt/sources.list
  fi
}

apt_install() {
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$@"
}

install_packages() {
  local missing log
  missing=$(missing_packages)
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" != 0 ]; then
    say "missing packages, and installing them needs root:" $missing
    exit 1
  fi
  say "installing:" $missing
  local start=$SECONDS
  enable_sources
  log=$(mktemp)
  # A mirror in mid-sync fails one index now and then; with the rest fresh the install can
  # still succeed, so only the install's own failure is fatal.
  local try
  for try in 1 2 3; do
    apt-get update -q >"$log" 2>&1 && ! grep -q '^E:' "$log" && break
    say "apt-get update reported errors (try $try of 3):"; grep -E '^(E|Err):' "$log" | head -n 5
    [ $try = 3 ] || sleep 10
  done
  # shellcheck disable=SC2086
  if ! apt_install $missing >"$log" 2>&1; then
    # An update index missing for one architecture leaves that architecture's packages a
    # version behind the other's, which multiarch refuses; the release alone is consistent.
    local release
    release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    say "apt-get install failed; trying again from the $release release alone"
    # shellcheck disable=SC2086
    [ -z "$release" ] || apt_install -t "$release" $missing >"$log" 2>&1 || true
  fi
  if [ -n "$(missing_packages)" ]; then
    say "apt-get install failed for:" $missing
    grep -E '^(E:|W:)|Unable to locate|has no installation candidate|Depends:' "$log" | head -n 20
    rm -f "$log"; exit 1
  fi
  rm -f "$log"
  say "packages installed in $((SECONDS - start)) s"
}

install_packages
[ "$(id -u)" = 0 ] && enable_sources  # apt-get source needs deb-src even when no package was missing
bash "$root/scripts/thirdparty.sh"
# The web add-in's npm packages, as the lockfile pins them, whenever the lockfile is newer.
web="$root/web"
if [ ! -f "$web/node_modules/.package-lock.json" ] || [ "$web/package-lock.json" -nt "$web/node_modules/.package-lock.json" ]; then
  say "npm ci in web/"
  (cd "$web" && npm ci --no-audit --no-fund --loglevel=error)
fi
