#!/usr/bin/env bash
# Installation check: "cmake --install" into a scratch DESTDIR holds exactly the
# screensaver's files; the installed program is the built one byte for byte and
# runs through its bin/ link with its appended archive; XScreenSaver's settings
# file is valid, offers the program's own defaults and passes only options the
# program takes; the desktop entry validates and names the installed program,
# also below a prefix with blanks and quotes; the manual page formats without warnings
# and covers every option of the usage text.
#
#   install_test.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
BUILD=$1
SRC=$2
SCRATCH=$(mktemp -d)
trap 'rm -rf "$SCRATCH"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Installs into a fresh DESTDIR below the scratch folder; prints nothing. A
# strict umask must not leave folders or files that others cannot read.
install_to() {  # DESTDIR PREFIX
    rm -rf "$1"
    (umask 077 && DESTDIR=$1 timeout 120 cmake --install "$BUILD" --prefix "$2") > "$SCRATCH/install.log" 2>&1
}

DEST=$SCRATCH/dest
PREFIX=/usr/local
ROOT=$DEST$PREFIX
HACK=$ROOT/libexec/xscreensaver/brevonne3d
XML=$ROOT/share/xscreensaver/config/brevonne3d.xml
DESKTOP=$ROOT/share/applications/screensavers/brevonne3d.desktop
MAN=$ROOT/share/man/man6/brevonne3d.6

if ! install_to "$DEST" "$PREFIX"; then
    cat "$SCRATCH/install.log"
    echo "FAIL: cmake --install ended with an error"
    exit 1
fi

# --- the installed tree -------------------------------------------------------
expected="bin/brevonne3d
libexec/xscreensaver/brevonne3d
share/applications/screensavers/brevonne3d.desktop
share/man/man6/brevonne3d.6
share/xscreensaver/config/brevonne3d.xml"
actual=$(cd "$DEST" && find . ! -type d | sed "s#^\./${PREFIX#/}/##" | sort)
[ "$actual" = "$expected" ] || fail "installed files differ from the expected list:
$(diff <(echo "$expected") <(echo "$actual"))"
odd_dirs=$(cd "$DEST" && find . -mindepth 1 -type d ! -perm 755)
[ -z "$odd_dirs" ] || fail "folders not 0755: $odd_dirs"
# A folder that was there before keeps its permissions.
mkdir -p "$SCRATCH/kept$PREFIX/share" && chmod 751 "$SCRATCH/kept$PREFIX/share"
(umask 077 && DESTDIR=$SCRATCH/kept timeout 120 cmake --install "$BUILD" --prefix "$PREFIX") > /dev/null 2>&1 ||
    fail "cmake --install over an existing folder ended with an error"
[ "$(stat -c %a "$SCRATCH/kept$PREFIX/share")" = 751 ] || fail "the installation changed an existing folder's permissions"
[ "$(stat -c %a "$SCRATCH/kept$PREFIX/share/man")" = 755 ] || fail "a new folder below an existing one is not 0755"
[ "$(stat -c %a "$HACK")" = 755 ] || fail "the program is not 0755"
for f in "$XML" "$DESKTOP" "$MAN"; do
    [ "$(stat -c %a "$f")" = 644 ] || fail "$f is not 0644"
done

# The program is the built file unchanged: its archive is found by the trailer at its end.
cmp -s "$HACK" "$BUILD/app/brevonne3d" || fail "the installed program differs from $BUILD/app/brevonne3d"
[ -L "$ROOT/bin/brevonne3d" ] || fail "bin/brevonne3d is not a symbolic link"
[ "$(readlink "$ROOT/bin/brevonne3d")" = "../libexec/xscreensaver/brevonne3d" ] ||
    fail "bin/brevonne3d points to '$(readlink "$ROOT/bin/brevonne3d")'"

# --- the program starts from where it was installed ---------------------------
help=$(timeout 20 "$ROOT/bin/brevonne3d" --help 2>&1)
rc=$?
[ $rc -eq 0 ] || fail "brevonne3d --help ended with $rc"
grep -q -- "--root" <<< "$help" || fail "--help does not list the host options"

# Through the link, the program still finds the archive appended to the real file.
export XDG_CONFIG_HOME=$SCRATCH/config XDG_CACHE_HOME=$SCRATCH/cache
mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
timeout 120 xvfb-run -a -s "-screen 0 320x240x24" "$ROOT/bin/brevonne3d" /S -bench 1 > "$SCRATCH/run.log" 2>&1
rc=$?
[ $rc -eq 0 ] || { tail -20 "$SCRATCH/run.log"; fail "the installed program's run ended with $rc"; }
grep -q "in archive '$XDG_CACHE_HOME/Quillmere/.pk" "$SCRATCH/run.log" ||
    fail "the installed program did not mount its appended archive"

# --- XScreenSaver's settings file ---------------------------------------------
# The shape xscreensaver-settings reads, with the attributes each control needs.
cat > "$SCRATCH/xss.dtd" <<'EOF'
<!ELEMENT screensaver (command*, (hgroup|vgroup|boolean|number|select)*, _description)>
<!ATTLIST screensaver name CDATA #REQUIRED _label CDATA #REQUIRED gl (yes|no) #IMPLIED>
<!ELEMENT command EMPTY>
<!ATTLIST command arg CDATA #REQUIRED>
<!ELEMENT hgroup (boolean|number|select|vgroup)*>
<!ELEMENT vgroup (boolean|number|select|hgroup)*>
<!ELEMENT boolean EMPTY>
<!ATTLIST boolean id ID #REQUIRED _label CDATA #REQUIRED arg-set CDATA #IMPLIED arg-unset CDATA #IMPLIED>
<!ELEMENT number EMPTY>
<!ATTLIST number id ID #REQUIRED type (slider|spinbutton) #REQUIRED arg CDATA #REQUIRED
                 _label CDATA #REQUIRED _low-label CDATA #IMPLIED _high-label CDATA #IMPLIED
                 low CDATA #REQUIRED high CDATA #REQUIRED default CDATA #REQUIRED convert (invert) #IMPLIED>
<!ELEMENT select (option+)>
<!ATTLIST select id ID #REQUIRED>
<!ELEMENT option EMPTY>
<!ATTLIST option id ID #REQUIRED _label CDATA #REQUIRED arg-set CDATA #IMPLIED>
<!ELEMENT _description (#PCDATA)>
EOF
xmllint --noout --dtdvalid "$SCRATCH/xss.dtd" "$XML" 2> "$SCRATCH/xmllint.log" ||
    fail "the settings file does not validate: $(cat "$SCRATCH/xmllint.log")"
x() { xmllint --xpath "$1" "$XML" 2>/dev/null; }

[ "$(x 'string(/screensaver/@name)')" = brevonne3d ] || fail "the settings file is not for brevonne3d"
[ "$(x 'string(/screensaver/@gl)')" = yes ] || fail "the settings file does not mark an OpenGL program"
[ "$(x 'string(/screensaver/command/@arg)')" = --root ] || fail "the settings file does not pass --root"
[ -n "$(x 'normalize-space(/screensaver/_description)')" ] || fail "the settings file has no description"

# The defaults the program runs with when a host passes nothing: the fresh
# settings record's and the host options' own.
program_default() {  # FILE DECLARATION-PATTERN
    local value
    value=$(sed -nE "s/^\s*$2\s*=\s*([^;]+);.*/\1/p" "$SRC/$1" | head -1)
    [ -n "$value" ] || fail "cannot find the default '$2' in $1"
    echo "$value"
}
sound=$(program_default app/cSettingsRecord.h "bool soundEnabled")
fps=$(program_default app/cSettingsRecord.h "bool showFPS")
shaders=$(program_default app/cSettingsRecord.h "bool useShaders")
quality=$(program_default app/cSettingsRecord.h "std::int32_t textureQuality")
delay=$(program_default app/HostOptions.h "long delayMicroseconds")
speed=$(program_default app/HostOptions.h "float speed")

same_number() { awk -v a="${1%f}" -v b="${2%f}" 'BEGIN { exit !(a + 0 == b + 0) }'; }
same_number "$(x 'string(//number[@id="delay"]/@default)')" "$delay" ||
    fail "the delay slider's default is not the program's $delay"
same_number "$(x 'string(//number[@id="speed"]/@default)')" "$speed" ||
    fail "the speed slider's default is not the program's $speed"
for id in delay speed; do
    low=$(x "string(//number[@id='$id']/@low)") high=$(x "string(//number[@id='$id']/@high)")
    def=$(x "string(//number[@id='$id']/@default)")
    awk -v l="$low" -v h="$high" -v d="$def" 'BEGIN { exit !(l + 0 <= d + 0 && d + 0 <= h + 0) }' ||
        fail "the $id slider's default $def is outside $low..$high"
done
# A select's default is its option without arg-set.
levels=(low medium high)
[ "$(x 'string(//select[@id="quality"]/option[not(@arg-set)]/@id)')" = "${levels[$quality]}" ] ||
    fail "the quality menu's default is not the program's ${levels[$quality]}"
[ "$(x 'count(//select[@id="quality"]/option[not(@arg-set)])')" = 1 ] ||
    fail "the quality menu needs exactly one option without arg-set"
# A checkbox is on by default when unchecking it passes the switch (arg-unset).
boolean_default() {  # ID
    if [ -n "$(x "string(//boolean[@id='$1']/@arg-unset)")" ]; then echo true; else echo false; fi
}
[ "$(boolean_default sound)" = "$sound" ] || fail "the sound box's default is not the program's $sound"
[ "$(boolean_default shaders)" = "$shaders" ] || fail "the shaders box's default is not the program's $shaders"
[ "$(boolean_default showfps)" = "$fps" ] || fail "the frame-rate box's default is not the program's $fps"

# Every switch and value the dialog can pass is one the program takes: the
# whole list goes to the program, followed by one bad value; the program must
# stumble on that one first.
args=(--root)
for id in $(x '//number/@id' | sed -E 's/ id="([^"]*)"/\1 /g'); do
    arg=$(x "string(//number[@id='$id']/@arg)")
    for attr in low high default; do
        value=$(x "string(//number[@id='$id']/@$attr)")
        read -r -a words <<< "${arg/\%/$value}"
        args+=("${words[@]}")
    done
done
for value in $(x '//@arg-set | //@arg-unset' | sed -E 's/ arg-(un)?set="([^"]*)"/\2|/g' | tr ' ' '~' | tr '|' ' '); do
    read -r -a words <<< "${value//\~/ }"
    args+=("${words[@]}")
done
err=$(env -u XSCREENSAVER_WINDOW timeout 20 "$HACK" "${args[@]}" --quality x-sentinel 2>&1 >/dev/null)
rc=$?
[ $rc -eq 1 ] || fail "a bad --quality value ended with $rc, not 1"
grep -q "x-sentinel" <<< "${err%%$'\n'*}" ||
    fail "the program refused an option of the settings file (${args[*]}): ${err%%$'\n'*}"

# --- the desktop entry --------------------------------------------------------
desktop-file-validate "$DESKTOP" > "$SCRATCH/validate.log" 2>&1 ||
    fail "desktop-file-validate: $(cat "$SCRATCH/validate.log")"
entry() { sed -n "s/^$1=//p" "$DESKTOP"; }
[ "$(entry Exec)" = "$PREFIX/libexec/xscreensaver/brevonne3d --root" ] || fail "Exec is '$(entry Exec)'"
[ "$(entry TryExec)" = "$PREFIX/libexec/xscreensaver/brevonne3d" ] || fail "TryExec is '$(entry TryExec)'"
[ -x "$DEST$(entry TryExec)" ] || fail "TryExec does not name the installed program"
[ "$(entry Type)" = Application ] || fail "Type is '$(entry Type)'"
[ "$(entry Name)" = "Brevonne 3D" ] || fail "Name is '$(entry Name)'"
grep -q '\bScreensaver;' <<< "$(entry Categories)" || fail "Categories lacks Screensaver"
# MATE's screensaver list leaves out entries hidden with NoDisplay.
[ "$(entry NoDisplay)" != true ] || fail "NoDisplay=true hides the entry from MATE's screensaver list"

# A prefix with a blank, quotes, a dollar or a percent sign still gives a host
# the installed program as the command's first word: Exec is read the way GLib
# reads it (string escapes, then shell quoting, then "%%" for "%").
exec_argv0() {  # DESKTOP-FILE
    /usr/bin/python3 - "$1" <<'EOF'
import sys
from gi.repository import GLib
entry = GLib.KeyFile()
entry.load_from_file(sys.argv[1], GLib.KeyFileFlags.NONE)
ok, argv = GLib.shell_parse_argv(entry.get_string("Desktop Entry", "Exec"))
print(argv[0].replace("%%", "%"))
EOF
}
for odd in "/opt/brevonne 3d" "/opt/it's \$HOME at 100%"; do
    if ! install_to "$SCRATCH/odd" "$odd"; then
        fail "cmake --install below '$odd' ended with an error: $(cat "$SCRATCH/install.log")"
        continue
    fi
    odd_entry=$SCRATCH/odd$odd/share/applications/screensavers/brevonne3d.desktop
    desktop-file-validate "$odd_entry" > "$SCRATCH/validate.log" 2>&1 ||
        fail "desktop-file-validate below '$odd': $(cat "$SCRATCH/validate.log")"
    [ "$(exec_argv0 "$odd_entry")" = "$odd/libexec/xscreensaver/brevonne3d" ] ||
        fail "Exec below '$odd' runs '$(exec_argv0 "$odd_entry")'"
done

# --- the manual page ----------------------------------------------------------
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$MAN" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "the manual page formats with warnings: $warnings"
page=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -E ascii -l "$MAN" 2>/dev/null)
for section in NAME SYNOPSIS DESCRIPTION OPTIONS FILES "EXIT STATUS" SIGNALS; do
    grep -q "^$section" <<< "$page" || fail "the manual page has no $section section"
done
options=$(echo "$page" | sed -n '/^OPTIONS/,/^[A-Z]/p')
for option in $(echo "$help" | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
    grep -qE -- "^ {7}(.*, )?$option\b" <<< "$options" || fail "the manual page's OPTIONS do not describe $option"
done
grep -q "Quillmere/Brevonne_3D/Settings" <<< "$page" || fail "the manual page does not name the settings file"

if [ $failures -ne 0 ]; then
    echo "$failures failed"
    exit 1
fi
echo "install check passed"
