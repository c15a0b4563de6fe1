#!/usr/bin/env bash
# Installs what building, running and testing need on a Debian machine, and skips
# what is already there. Safe to run again; needs root (or sudo) only when
# something is missing.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cache="$root/.cache"

packages=(
  cmake make g++ googletest libgtest-dev libbenchmark-dev libjpeg62-turbo-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine64 xvfb xdotool xclip x11-utils imagemagick
  locales fonts-wqy-microhei
  dpkg-dev python3 clang
  libclang-rt-14-dev pulseaudio pulseaudio-utils
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

# Source packages come from the same suite as the binaries.
codename="$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")"
src_list=/etc/apt/sources.list.d/f2paste-deb-src.sources
need_update=0
if [ ! -f "$src_list" ]; then
  as_root tee "$src_list" >/dev/null <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $codename
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  need_update=1
fi

if [ ${#missing[@]} -gt 0 ] || [ $need_update -eq 1 ]; then
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine reports ANSI code page 936 only under a generated Chinese locale.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  as_root sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen >/dev/null
fi

# A static libjpeg for each MinGW target, built from Debian's own source package.
build_libjpeg() {
  local triplet="$1" processor="$2" prefix="$cache/libjpeg/$1"
  if [ -f "$prefix/lib/libjpeg.a" ]; then return 0; fi
  local src
  src="$(find "$cache/libjpeg-src" -maxdepth 1 -type d -name 'libjpeg-turbo-*' 2>/dev/null | head -n1 || true)"
  if [ -z "$src" ]; then
    mkdir -p "$cache/libjpeg-src"
    (cd "$cache/libjpeg-src" && apt-get source -qq libjpeg-turbo >/dev/null 2>&1) || {
      echo "setup: apt-get source libjpeg-turbo failed" >&2; return 1; }
    src="$(find "$cache/libjpeg-src" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n1)"
  fi
  echo "setup: building static libjpeg for $triplet"
  local build="$cache/libjpeg-build/$triplet"
  rm -rf "$build"; mkdir -p "$build"
  cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR="$processor" \
    -DCMAKE_C_COMPILER="$triplet-gcc" -DCMAKE_RC_COMPILER="$triplet-windres" \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF \
    >"$build.log" 2>&1 || { cat "$build.log" >&2; return 1; }
  cmake --build "$build" --target jpeg-static -j"$(nproc)" >>"$build.log" 2>&1 || { tail -n 40 "$build.log" >&2; return 1; }
  mkdir -p "$prefix/lib" "$prefix/include"
  cp "$build/libjpeg.a" "$prefix/lib/libjpeg.a"
  cp "$build/jconfig.h" "$src/jpeglib.h" "$src/jmorecfg.h" "$src/jerror.h" "$prefix/include/"
}
build_libjpeg i686-w64-mingw32 x86
build_libjpeg x86_64-w64-mingw32 AMD64
