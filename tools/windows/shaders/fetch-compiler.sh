#!/usr/bin/env bash
# Fetches the HLSL compiler the shader step runs under Wine: d3dcompiler_47.dll
# with the d3d9.dll and wined3d.dll it is built with, from the libwine package
# of Debian 13 (trixie). Wine 8's own compiler (Debian 12) miscompiles HLSL;
# Wine 10's is correct. The package is downloaded with a private apt
# configuration below DEST (the system's apt sources stay as they are) and
# unpacked there, not installed.
#
# Wine refuses a DLL that carries its "builtin" stamp at file offset 0x40 as a
# native one and quietly loads its own copy instead: the stamp is cleared.
#
# Usage: fetch-compiler.sh DEST   (the DLLs land in DEST/dlls; a second run does nothing)
set -euo pipefail

DEST="$(mkdir -p "${1:?usage: fetch-compiler.sh DEST}" && cd "$1" && pwd)"
DLLS="$DEST/dlls"
DLL_NAMES=(d3dcompiler_47.dll d3d9.dll wined3d.dll)
if [ -f "$DLLS/stamp" ]; then
  exit 0
fi

APTDIR="$DEST/apt"
mkdir -p "$APTDIR/lists/partial" "$APTDIR/cache/archives/partial" "$APTDIR/parts" "$APTDIR/state" "$DLLS"
MIRROR="$(grep -hE '^(URIs:|deb )' /etc/apt/sources.list.d/*.sources /etc/apt/sources.list 2>/dev/null \
          | grep -v security | grep -oE 'https?://[^ ]+' | head -n1 || true)"
MIRROR="${MIRROR:-http://deb.debian.org/debian}"
KEYRING=/usr/share/keyrings/debian-archive-keyring.gpg
echo "deb [arch=amd64 signed-by=$KEYRING] $MIRROR trixie main" > "$APTDIR/sources.list"
APT_PRIVATE=(-o "Dir::Etc::SourceList=$APTDIR/sources.list" -o "Dir::Etc::SourceParts=$APTDIR/parts"
             -o "Dir::State=$APTDIR/state" -o "Dir::State::Lists=$APTDIR/lists"
             -o "Dir::State::status=/dev/null" -o "Dir::Cache=$APTDIR/cache"
             -o "APT::Architecture=amd64" -o "APT::Architectures=amd64"
             -o "APT::Sandbox::User=root" -o "Debug::NoLocking=1")

echo "fetch-compiler: downloading libwine (trixie) into $APTDIR"
apt-get "${APT_PRIVATE[@]}" -q update >"$APTDIR/update.log" 2>&1 || { cat "$APTDIR/update.log" >&2; exit 1; }
(cd "$APTDIR" && apt-get "${APT_PRIVATE[@]}" -q download libwine:amd64 >"$APTDIR/download.log" 2>&1) || {
  cat "$APTDIR/download.log" >&2; exit 1; }
DEB="$(ls "$APTDIR"/libwine_*_amd64.deb | head -n1)"

UNPACK="$APTDIR/unpack"
rm -rf "$UNPACK" && mkdir -p "$UNPACK"
dpkg-deb --fsys-tarfile "$DEB" | tar -x -C "$UNPACK" --wildcards '*/x86_64-windows/d3dcompiler_47.dll' \
  '*/x86_64-windows/d3d9.dll' '*/x86_64-windows/wined3d.dll'
for name in "${DLL_NAMES[@]}"; do
  src="$(find "$UNPACK" -path "*x86_64-windows/$name" | head -n1)"
  [ -n "$src" ] || { echo "fetch-compiler: $name is not in $DEB" >&2; exit 1; }
  cp "$src" "$DLLS/$name"
  # Clear the builtin stamp (16 bytes at 0x40) so that Wine loads this file as a native DLL.
  dd if=/dev/zero of="$DLLS/$name" bs=1 seek=$((0x40)) count=16 conv=notrunc status=none
done
rm -rf "$UNPACK"
basename "$DEB" > "$DLLS/stamp"
echo "fetch-compiler: $(cat "$DLLS/stamp") -> $DLLS"
