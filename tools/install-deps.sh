#!/usr/bin/env bash
# Installs the Debian packages the build, the tools and the tests need.
# Does nothing when everything is already present; otherwise runs apt-get
# non-interactively, waiting for the package lock instead of failing on it.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev libgl-dev libegl-dev libgl1-mesa-dri libepoxy-dev
  zlib1g-dev libminizip-dev libjpeg-dev
  libogg-dev libvorbis-dev libopenal1 libopenal-dev
  libgtk-3-dev libfreetype-dev fonts-dejavu-core fonts-dejavu-extra libsquish-dev
  xvfb xauth xdotool imagemagick
  zip unzip sox vorbis-tools lua5.4
  libx11-dev python3-xlib x11-utils xscreensaver xscreensaver-gl mate-screensaver dbus-daemon
  libxml2-utils desktop-file-utils dpkg-dev file man-db lintian python3-gi
)

# `install-deps.sh --fuzz`: the fuzzing tool chain instead (clang with its libFuzzer and sanitizer
# runtimes), which only `make fuzz` needs.
if [ "${1:-}" = "--fuzz" ]; then
  PACKAGES=(clang libclang-rt-dev)
fi
# `install-deps.sh --clip`: img2webp, which only `make clip` needs to join the tour's frames.
if [ "${1:-}" = "--clip" ]; then
  PACKAGES=(webp)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then SUDO="sudo"; else
    echo "install-deps: missing packages (${missing[*]}) and not root; install them and retry" >&2
    exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
APT_OPTS=(-o DPkg::Lock::Timeout=600 -y -q)
$SUDO apt-get "${APT_OPTS[@]}" update
$SUDO apt-get "${APT_OPTS[@]}" install --no-install-recommends "${missing[@]}"
