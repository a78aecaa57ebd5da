#!/usr/bin/env bash
# Debian package check: cpack builds the .deb (into a scratch folder, leaving
# the build folder's own package alone); it holds exactly the installed tree
# below /usr plus Debian's copyright, changelog and lintian overrides; the
# packaged program is the built one byte for byte; the control fields carry
# the section, the hosts as recommendations and the library dependencies; and
# lintian reports no errors.
#
#   package_test.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
BUILD=$1
SRC=$2
SCRATCH=$(mktemp -d)
trap 'rm -rf "$SCRATCH"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A strict umask must not leave folders in the package that others cannot read.
(cd "$BUILD" && umask 077 && timeout 300 cpack -G DEB -B "$SCRATCH/out") > "$SCRATCH/cpack.log" 2>&1
rc=$?
debs=("$SCRATCH"/out/*.deb)
if [ $rc -ne 0 ] || [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    cat "$SCRATCH/cpack.log"
    echo "FAIL: cpack ended with $rc and made ${debs[*]}"
    exit 1
fi
DEB=${debs[0]}
arch=$(dpkg --print-architecture)
case "$(basename "$DEB")" in
    brevonne3d_*-*_"$arch".deb) ;;
    *) fail "the package file is named $(basename "$DEB")" ;;
esac

# --- contents -----------------------------------------------------------------
# Type, mode, owner and path of every entry (link targets too), without sizes and times.
listing=$(dpkg-deb -c "$DEB" | awk '{ $3 = ""; $4 = ""; $5 = ""; print }' | tr -s ' ' | sort -k3)
expected="lrwxrwxrwx root/root ./usr/bin/brevonne3d -> ../libexec/xscreensaver/brevonne3d
-rwxr-xr-x root/root ./usr/libexec/xscreensaver/brevonne3d
-rw-r--r-- root/root ./usr/share/applications/screensavers/brevonne3d.desktop
-rw-r--r-- root/root ./usr/share/doc/brevonne3d/changelog.Debian.gz
-rw-r--r-- root/root ./usr/share/doc/brevonne3d/copyright
-rw-r--r-- root/root ./usr/share/lintian/overrides/brevonne3d
-rw-r--r-- root/root ./usr/share/man/man6/brevonne3d.6.gz
-rw-r--r-- root/root ./usr/share/xscreensaver/config/brevonne3d.xml"
files=$(echo "$listing" | grep -v '^d' | sort -k3)
[ "$files" = "$expected" ] || fail "the package's files differ from the expected list:
$(diff <(echo "$expected") <(echo "$files"))"
odd_dirs=$(echo "$listing" | grep '^d' | grep -v '^drwxr-xr-x root/root ')
[ -z "$odd_dirs" ] || fail "folders that are not 0755 root/root: $odd_dirs"

TREE=$SCRATCH/tree
dpkg-deb -x "$DEB" "$TREE"
cmp -s "$TREE/usr/libexec/xscreensaver/brevonne3d" "$BUILD/app/brevonne3d" ||
    fail "the packaged program differs from $BUILD/app/brevonne3d"
gzip -dc "$TREE/usr/share/man/man6/brevonne3d.6.gz" | cmp -s - "$SRC/docs/brevonne3d.6" ||
    fail "the packaged manual page differs from docs/brevonne3d.6"
grep -qx "Exec=/usr/libexec/xscreensaver/brevonne3d --root" "$TREE/usr/share/applications/screensavers/brevonne3d.desktop" ||
    fail "the packaged desktop entry does not run /usr/libexec/xscreensaver/brevonne3d --root"
changelog=$(gzip -dc "$TREE/usr/share/doc/brevonne3d/changelog.Debian.gz")
grep -q "^brevonne3d ($(dpkg-deb -f "$DEB" Version)) " <<< "${changelog%%$'\n'*}" ||
    fail "the changelog's first entry is not for version $(dpkg-deb -f "$DEB" Version)"

# --- control fields -----------------------------------------------------------
field() { dpkg-deb -f "$DEB" "$1"; }
[ "$(field Package)" = brevonne3d ] || fail "Package is '$(field Package)'"
[ "$(field Section)" = misc ] || fail "Section is '$(field Section)'"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)'"
[ "$(field Recommends)" = "xscreensaver-gl | mate-screensaver | xfce4-screensaver" ] ||
    fail "Recommends is '$(field Recommends)'"
# The dependencies come from the program's libraries (dpkg-shlibdeps).
for library in libc6 libsdl2-2.0-0 libgtk-3-0; do
    grep -q "\b$library\b" <<< "$(field Depends)" || fail "Depends lacks $library: '$(field Depends)'"
done
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ "$(field Description | head -1)" = "3D tropical island screensaver" ] ||
    fail "the synopsis is '$(field Description | head -1)'"

# --- lintian ------------------------------------------------------------------
lintian_args=(--tag-display-limit 0 --fail-on error)
[ "$(id -u)" -ne 0 ] || lintian_args+=(--allow-root)
timeout 300 lintian "${lintian_args[@]}" "$DEB" > "$SCRATCH/lintian.log" 2>&1
rc=$?
cat "$SCRATCH/lintian.log"
# lintian ends with 2 when it finds errors, with 1 when it could not run.
case $rc in
    0) grep -q '^E: ' "$SCRATCH/lintian.log" && fail "lintian reports errors" ;;
    2) fail "lintian reports errors" ;;
    *) fail "lintian could not run (status $rc)" ;;
esac

if [ $failures -ne 0 ]; then
    echo "$failures failed"
    exit 1
fi
echo "package check passed"
