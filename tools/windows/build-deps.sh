#!/usr/bin/env bash
# Prepares the Windows cross-build: installs the Debian packages it needs when
# they are missing, then builds the libraries that Debian packages only for
# Linux (minizip from zlib's contrib, libjpeg-turbo, libogg, libvorbis) from
# Debian's own source packages, and GoogleTest from the installed sources,
# as static mingw-w64 libraries into DEPS/prefix.
#
# Usage: build-deps.sh [DEPS]   (default: build-win/deps)
#
# A stamp file records what was built; a later run with the same recipe does
# nothing. The system's apt sources are left alone: the source packages are
# fetched with a private apt configuration below DEPS/apt.
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
DEPS="$(mkdir -p "${1:-$ROOT/build-win/deps}" && cd "${1:-$ROOT/build-win/deps}" && pwd)"
PREFIX="$DEPS/prefix"
TOOLCHAIN="$ROOT/cmake/mingw-w64.cmake"
JOBS="${JOBS:-2}"
TRIPLE=x86_64-w64-mingw32
# Bump when the recipe below changes, so existing builds are redone.
RECIPE=4
STAMP="$DEPS/stamp"

log() { echo "build-deps: $*"; }

# --- Debian packages -------------------------------------------------------
PACKAGES=(mingw-w64 wine wine64 xvfb xauth nasm libz-mingw-w64-dev
          dpkg-dev cmake pkg-config libopenal-dev googletest)
missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  log "installing ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then SUDO="sudo"; else
      echo "build-deps: missing packages (${missing[*]}) and not root; install them and retry" >&2
      exit 1
    fi
  fi
  export DEBIAN_FRONTEND=noninteractive
  APT_OPTS=(-o DPkg::Lock::Timeout=600 -y -q)
  $SUDO apt-get "${APT_OPTS[@]}" update
  $SUDO apt-get "${APT_OPTS[@]}" install --no-install-recommends "${missing[@]}"
fi

if [ -f "$STAMP" ] && [ "$(cat "$STAMP")" = "recipe $RECIPE" ]; then
  exit 0
fi

# --- Debian source packages, through a private apt configuration ------------
SOURCES="$DEPS/src"
APTDIR="$DEPS/apt"
mkdir -p "$SOURCES" "$APTDIR/lists/partial" "$APTDIR/cache/archives/partial" "$APTDIR/parts"

# The mirror and release the machine already uses.
MIRROR="$(grep -hE '^(URIs:|deb )' /etc/apt/sources.list.d/*.sources /etc/apt/sources.list 2>/dev/null \
          | grep -v security | grep -oE 'https?://[^ ]+' | head -n1 || true)"
MIRROR="${MIRROR:-http://deb.debian.org/debian}"
SUITE="$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")"
KEYRING=/usr/share/keyrings/debian-archive-keyring.gpg
echo "deb-src [signed-by=$KEYRING] $MIRROR $SUITE main" > "$APTDIR/sources.list"
APT_PRIVATE=(-o "Dir::Etc::SourceList=$APTDIR/sources.list" -o "Dir::Etc::SourceParts=$APTDIR/parts"
             -o "Dir::State::Lists=$APTDIR/lists" -o "Dir::Cache=$APTDIR/cache"
             -o "APT::Sandbox::User=root" -o "Debug::NoLocking=1")

fetch() { # package -> prints the unpacked source folder
  local pkg="$1" dir
  dir="$(find "$SOURCES" -maxdepth 1 -type d -name "$pkg-[0-9]*" | head -n1)"
  if [ -z "$dir" ]; then
    (cd "$SOURCES" && apt-get "${APT_PRIVATE[@]}" -q source "$pkg" >"$SOURCES/$pkg.log" 2>&1) || {
      cat "$SOURCES/$pkg.log" >&2; echo "build-deps: cannot fetch the source of $pkg" >&2; exit 1; }
    dir="$(find "$SOURCES" -maxdepth 1 -type d -name "$pkg-[0-9]*" | head -n1)"
  fi
  echo "$dir"
}

log "fetching Debian source packages ($MIRROR $SUITE)"
apt-get "${APT_PRIVATE[@]}" -q update >"$APTDIR/update.log" 2>&1 || {
  cat "$APTDIR/update.log" >&2; exit 1; }
ZLIB_SRC="$(fetch zlib)"
JPEG_SRC="$(fetch libjpeg-turbo)"
OGG_SRC="$(fetch libogg)"
VORBIS_SRC="$(fetch libvorbis)"

rm -rf "$PREFIX" "$DEPS/build"
mkdir -p "$PREFIX/include" "$PREFIX/lib/pkgconfig" "$DEPS/build"

cross_cmake() { # source build [options...]
  local src="$1" build="$2"; shift 2
  nice -n 10 cmake -S "$src" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DVELMORA_WINDOWS_DEPS="$PREFIX" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" \
    -DCMAKE_PREFIX_PATH="$PREFIX" -DBUILD_SHARED_LIBS=OFF "$@" >"$build.log" 2>&1 &&
  nice -n 10 cmake --build "$build" -j"$JOBS" >>"$build.log" 2>&1 &&
  cmake --install "$build" >>"$build.log" 2>&1 || { tail -n 40 "$build.log" >&2; exit 1; }
}

# minizip: the unzip and zip layers of zlib's contrib, as Debian builds them.
log "building minizip"
MZ="$ZLIB_SRC/contrib/minizip"
mkdir -p "$DEPS/build/minizip" "$PREFIX/include/minizip"
for c in ioapi unzip zip; do
  nice -n 10 "$TRIPLE-gcc-posix" -O2 -Wno-unused -c "$MZ/$c.c" -o "$DEPS/build/minizip/$c.o"
done
"$TRIPLE-gcc-ar-posix" rcs "$PREFIX/lib/libminizip.a" "$DEPS/build/minizip/"*.o
cp "$MZ/ioapi.h" "$MZ/unzip.h" "$MZ/zip.h" "$PREFIX/include/minizip/"
cat > "$PREFIX/lib/pkgconfig/minizip.pc" <<PC
prefix=$PREFIX
includedir=\${prefix}/include
libdir=\${prefix}/lib
Name: minizip
Description: zip and unzip layers over zlib
Version: 1.2
Requires.private: zlib
Libs: -L\${libdir} -lminizip
Cflags: -I\${includedir} -I\${includedir}/minizip
PC

log "building libjpeg-turbo"
cross_cmake "$JPEG_SRC" "$DEPS/build/jpeg" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF \
  -DREQUIRE_SIMD=OFF
log "building libogg"
cross_cmake "$OGG_SRC" "$DEPS/build/ogg" -DINSTALL_DOCS=OFF -DBUILD_TESTING=OFF
log "building libvorbis"
cross_cmake "$VORBIS_SRC" "$DEPS/build/vorbis" -DBUILD_TESTING=OFF
log "building GoogleTest"
cross_cmake /usr/src/googletest "$DEPS/build/googletest" -Dgtest_disable_pthreads=OFF

# OpenAL is loaded at run time; only its (platform-neutral) headers are needed.
mkdir -p "$PREFIX/include/AL"
cp /usr/include/AL/al.h /usr/include/AL/alc.h /usr/include/AL/alext.h "$PREFIX/include/AL/"

echo "recipe $RECIPE" > "$STAMP"
log "done: $PREFIX"
