#!/usr/bin/env bash
# Installs everything the build and the tests need. Idempotent: a second run on a
# ready machine only checks and returns.
set -euo pipefail
cd "$(dirname "$0")"

APT_PACKAGES=(
  cmake ccache g++ clang libclang-rt-14-dev ninja-build pkg-config
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  libz-mingw-w64-dev
  wine64 xvfb xdotool imagemagick fonts-wqy-microhei
  libcurl4-openssl-dev zlib1g-dev libstb-dev libgtest-dev googletest
  7zip nginx python3 dpkg-dev aria2 curl
)

missing=()
for p in "${APT_PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Built dependencies (libcurl for mingw, the 7z reader sources, gtest for mingw).
exec ./cmake/deps/build_deps.sh
