#!/usr/bin/env bash
# Builds the Windows-side third-party pieces from Debian's source packages into .deps/
# (git ignores it): lame_enc.dll and a static libjpeg for each target, the IDL files widl
# needs, and LAME for the web add-in's WebAssembly core with its native twin (see
# build_lame_plain). Each piece is rebuilt only when its stamp is missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deps="$root/.deps"
src="$deps/src"
mkdir -p "$src"

log() { printf '[thirdparty] %s\n' "$*"; }

# apt-get source, refreshing the lists once if the source entries are new.
apt_source() {
  apt-get source -q "$@" >/dev/null 2>&1 || { apt-get update -q >/dev/null && apt-get source -q "$@" >/dev/null; }
}

fetch_sources() {
  cd "$src"
  if [ ! -d "$(ls -d lame-3.100 2>/dev/null)" ]; then
    log "apt-get source lame"
    apt_source lame
  fi
  if [ -z "$(ls -d libjpeg-turbo-*/ 2>/dev/null)" ]; then
    log "apt-get source libjpeg-turbo"
    apt_source libjpeg-turbo
  fi
  if [ ! -f "$deps/idl/oaidl.idl" ]; then
    log "apt-get source mingw-w64 (IDL files for widl)"
    mkdir -p "$src/mingw" "$deps/idl"
    (cd "$src/mingw" && apt_source --download-only mingw-w64)
    local tarball
    tarball=$(ls "$src"/mingw/mingw-w64_*.orig.tar.* | head -n 1)
    tar -xf "$tarball" -C "$src/mingw" --wildcards '*/mingw-w64-headers/include/*.idl'
    cp "$src"/mingw/*/mingw-w64-headers/include/*.idl "$deps/idl/"
  fi
}

# libmp3lame built static, and the export list of lame_enc.dll: the build links the library
# whole into that DLL, with its version resource, exporting the plain libmp3lame names.
build_lame() {
  local arch=$1 out="$deps/$1"
  [ -f "$out/lame.stamp" ] && return 0
  log "lame for $arch"
  local b="$deps/build/lame-$arch"
  rm -rf "$b"; mkdir -p "$b" "$out/include/lame"
  cp -r "$src/lame-3.100/." "$b/"
  local nasm=""
  [ "$arch" = i686 ] && nasm="--enable-nasm"
  # configure misreads the mingw gcc version and drops optimisation unless CFLAGS is given.
  (cd "$b" && ./configure -q --host="$arch-w64-mingw32" --disable-shared --enable-static \
      --disable-frontend --disable-decoder $nasm \
      CFLAGS="-O3 -ffast-math -fomit-frame-pointer -pipe" \
    && make -s -j"$(nproc)") >"$b/build.log" 2>&1 || { tail -n 30 "$b/build.log"; return 1; }
  { echo "LIBRARY lame_enc.dll"; echo "EXPORTS"; grep -v -E '^(lame_init_old|hip_|lame_decode|lame_get_id3)' "$b/include/libmp3lame.sym" \
      | grep -E '^[a-z]'; } > "$b/lame_enc.def"
  cp "$b/include/lame.h" "$out/include/lame/"
  touch "$out/lame.stamp"
}

# LAME without x86 SIMD, which WebAssembly lacks, with the same compiler (clang 14) and options
# twice: static under emscripten for the web core, and as a native shared library that the
# check of the two encoders loads in place of the system's. Without -ffast-math: with it the
# two backends round differently and the files part (64 kbps: at 4.4 s of 5, 65 dB apart),
# and it gains the WebAssembly build nothing. The stamp holds the options: new ones rebuild.
plain_lame_flags="-O3 -fomit-frame-pointer -pipe -fno-vectorize -fno-slp-vectorize"

build_lame_plain() {
  local target=$1 out="$deps/$1"
  [ "$(cat "$out/lame.stamp" 2>/dev/null)" = "$plain_lame_flags" ] && return 0
  log "lame for $target (no SIMD)"
  local b="$deps/build/lame-$target" configure=(./configure -q --disable-frontend --disable-decoder
      ac_cv_header_xmmintrin_h=no CFLAGS="$plain_lame_flags")
  rm -rf "$b"; mkdir -p "$b" "$out/include/lame" "$out/lib"
  cp -r "$src/lame-3.100/." "$b/"
  if [ "$target" = wasm ]; then
    # LAME's config.sub predates emscripten: any cross host keeps configure from running tests.
    (cd "$b" && NODE_PATH=/usr/share/nodejs emconfigure "${configure[@]}" --host=i686-pc-linux-gnu \
        --disable-shared --enable-static && NODE_PATH=/usr/share/nodejs emmake make -s -j"$(nproc)") \
      >"$b/build.log" 2>&1 || { tail -n 30 "$b/build.log"; return 1; }
    cp "$b/libmp3lame/.libs/libmp3lame.a" "$out/lib/"
  else
    (cd "$b" && "${configure[@]}" CC=clang-14 --enable-shared --disable-static && make -s -j"$(nproc)") \
      >"$b/build.log" 2>&1 || { tail -n 30 "$b/build.log"; return 1; }
    cp "$b/libmp3lame/.libs/libmp3lame.so.0" "$out/lib/"
  fi
  cp "$b/include/lame.h" "$out/include/lame/"
  echo "$plain_lame_flags" >"$out/lame.stamp"
}

build_jpeg() {
  local arch=$1 out="$deps/$1"
  [ -f "$out/jpeg.stamp" ] && return 0
  log "libjpeg-turbo for $arch"
  local b="$deps/build/jpeg-$arch" s
  s=$(ls -d "$src"/libjpeg-turbo-*/ | head -n 1)
  rm -rf "$b"; mkdir -p "$b"
  { cmake -S "$s" -B "$b" -G "Unix Makefiles" \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch.cmake" -DCMAKE_BUILD_TYPE=Release \
      -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=1 -DWITH_TURBOJPEG=OFF \
      -DCMAKE_INSTALL_PREFIX="$out" \
    && cmake --build "$b" -j"$(nproc)" && cmake --install "$b"; } >"$b/build.log" 2>&1 \
    || { tail -n 30 "$b/build.log"; return 1; }
  touch "$out/jpeg.stamp"
}

timed() {  # timed STEP...: runs a step and says how long it took when it did work
  local start=$SECONDS
  "$@" || exit 1
  [ $((SECONDS - start)) -gt 0 ] && log "$* done in $((SECONDS - start)) s"
  return 0
}

timed fetch_sources
for arch in i686 x86_64; do
  timed build_lame "$arch"
  timed build_jpeg "$arch"
done
for target in wasm native-plain; do
  timed build_lame_plain "$target"
done
log "ready in $deps"
