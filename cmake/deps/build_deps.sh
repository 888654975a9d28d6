#!/usr/bin/env bash
# Builds the dependencies that Debian ships only as sources: libcurl and GoogleTest
# for both mingw targets, and unpacks the 7z reader's C sources. Results are cached
# per machine under $PARLINO_DEPS (default ~/.cache/parlino-deps), keyed by version,
# so a second run only checks stamps.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
DEPS=${PARLINO_DEPS:-$HOME/.cache/parlino-deps}
SRC=$DEPS/src
JOBS=$(nproc)
mkdir -p "$SRC" "$DEPS/build"

enable_deb_src() {
  local f=/etc/apt/sources.list.d/debian.sources
  if [ -f "$f" ] && ! grep -q 'deb-src' "$f"; then
    sed -i 's/^Types: deb$/Types: deb deb-src/' "$f"
    apt-get update -qq
  elif ! grep -rqs '^deb-src\|Types:.*deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    echo "setup: no deb-src entry could be enabled" >&2; exit 1
  fi
}

# fetch_source PACKAGE -> prints the unpacked directory
fetch_source() {
  local pkg=$1 ver dir
  ver=$(apt-cache showsrc "$pkg" 2>/dev/null | awk '/^Version:/{print $2; exit}')
  if [ -z "$ver" ]; then enable_deb_src; ver=$(apt-cache showsrc "$pkg" | awk '/^Version:/{print $2; exit}'); fi
  dir=$SRC/$pkg-$ver
  if [ ! -f "$dir/.unpacked" ]; then
    rm -rf "$dir.tmp" && mkdir -p "$dir.tmp"
    (cd "$dir.tmp" && apt-get source -qq --download-only "$pkg=$ver" >/dev/null 2>&1 \
       && dpkg-source -x --no-check ./*.dsc src >/dev/null)
    rm -rf "$dir" && mv "$dir.tmp/src" "$dir" && rm -rf "$dir.tmp"
    touch "$dir/.unpacked"
  fi
  echo "$dir"
}

build_curl() {
  local triple=$1 flavour=$2 src=$3 ver=$4
  local out=$DEPS/curl-$ver-$flavour
  [ -f "$out/.done" ] && return 0
  echo "setup: building libcurl $ver for $flavour"
  local bdir=$DEPS/build/curl-$ver-$flavour
  rm -rf "$bdir" "$out"
  cmake -S "$src" -B "$bdir" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-$flavour.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$out" \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF \
    -DCURL_STATICLIB=ON -DHTTP_ONLY=ON -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF \
    -DCURL_ZLIB=ON -DZLIB_LIBRARY=/usr/$triple/lib/libz.a -DZLIB_INCLUDE_DIR=/usr/$triple/include \
    -DCURL_USE_LIBSSH2=OFF -DCURL_USE_LIBPSL=OFF -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF \
    -DUSE_LIBIDN2=OFF -DUSE_NGHTTP2=OFF -DENABLE_UNIX_SOCKETS=OFF -DCURL_DISABLE_LDAP=ON \
    -DENABLE_MANUAL=OFF -DCURL_CA_PATH=none -DCURL_CA_BUNDLE=none >"$bdir.log" 2>&1 \
    || { cat "$bdir.log"; exit 1; }
  cmake --build "$bdir" -j"$JOBS" >>"$bdir.log" 2>&1 || { tail -50 "$bdir.log"; exit 1; }
  cmake --install "$bdir" >>"$bdir.log" 2>&1
  rm -rf "$bdir"
  touch "$out/.done"
}

build_gtest() {
  local flavour=$1 ver=$2
  local out=$DEPS/gtest-$ver-$flavour
  [ -f "$out/.done" ] && return 0
  echo "setup: building GoogleTest $ver for $flavour"
  local bdir=$DEPS/build/gtest-$ver-$flavour
  rm -rf "$bdir" "$out"
  cmake -S /usr/src/googletest -B "$bdir" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-$flavour.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$out" \
    -DBUILD_GMOCK=ON -Dgtest_disable_pthreads=OFF >"$bdir.log" 2>&1 || { cat "$bdir.log"; exit 1; }
  cmake --build "$bdir" -j"$JOBS" >>"$bdir.log" 2>&1 || { tail -50 "$bdir.log"; exit 1; }
  cmake --install "$bdir" >>"$bdir.log" 2>&1
  rm -rf "$bdir"
  touch "$out/.done"
}

curl_src=$(fetch_source curl)
curl_ver=$(basename "$curl_src" | sed 's/^curl-//')
sevenzip_src=$(fetch_source 7zip)
gtest_ver=$(dpkg-query -W -f='${Version}' googletest)

for flavour in win64 win32; do
  case $flavour in win64) triple=x86_64-w64-mingw32;; win32) triple=i686-w64-mingw32;; esac
  build_curl "$triple" "$flavour" "$curl_src" "$curl_ver"
  build_gtest "$flavour" "$gtest_ver"
done

# One file the CMake project reads to find all of the above.
cat > "$DEPS/paths.cmake.tmp" <<PATHS
set(PARLINO_CURL_VERSION "$curl_ver")
set(PARLINO_GTEST_VERSION "$gtest_ver")
set(PARLINO_SEVENZIP_SRC "$sevenzip_src")
set(PARLINO_DEPS_DIR "$DEPS")
PATHS
mv "$DEPS/paths.cmake.tmp" "$DEPS/paths.cmake"
