#!/usr/bin/env bash
# The real MATE screensaver runs the screensaver: on a virtual display, in a
# D-Bus session of its own, with its settings (a key file) naming only our
# desktop entry. "mate-screensaver-command --activate" must start
# `brevonne3d --root` and show the island; SIGSTOP/SIGCONT (what MATE does
# while its unlock dialog is up) must leave it flying; "--deactivate" must end
# it within a second, with nothing left in its cache folder.
# MATE runs only programs in the screensaver folders it knows, so the program
# is copied into /usr/libexec/xscreensaver for the test (root only) and
# removed again at the end.
# Usage: mate_screensaver_test.sh EXE [SCREENSHOT.png]
set -uo pipefail
EXE=$1
# Sanitizer builds run several times slower: their time limits are scaled.
export SCALE=${VELMORA_TIME_SCALE:-1}
SHOT=${2:-}
command -v mate-screensaver >/dev/null || { echo "SKIP: mate-screensaver is not installed"; exit 0; }
command -v dbus-run-session >/dev/null || { echo "SKIP: dbus-run-session is missing"; exit 0; }

HACKDIR=/usr/libexec/xscreensaver
[ -d "$HACKDIR" ] && [ -w "$HACKDIR" ] || { echo "SKIP: $HACKDIR is not writable"; exit 0; }
HACK=$HACKDIR/brevonne3d-test-$$
WORK=$(mktemp -d /tmp/brevonne-mate.XXXXXX)
XVFB_PID=""
cleanup() {
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  rm -f "$HACK"
  rm -rf "$WORK"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; [ -f "$WORK/session.log" ] && grep -av "^cCommon\|^Creating\|^Loading" "$WORK/session.log" | tail -25; exit 1; }

mkdir -p "$WORK/share/applications/screensavers" "$WORK/home/.config/glib-2.0/settings"
cp "$EXE" "$HACK"
cat > "$WORK/share/applications/screensavers/brevonne3d.desktop" <<DESKTOP
[Desktop Entry]
Type=Application
Name=Brevonne 3D
Exec=$HACK --root --no-sound
TryExec=$HACK
Categories=Screensaver;
OnlyShowIn=MATE;XFCE;
StartupNotify=false
Terminal=false
DESKTOP
cat > "$WORK/home/.config/glib-2.0/settings/keyfile" <<KEYS
[org/mate/screensaver]
mode='single'
themes=['screensavers-brevonne3d']
lock-enabled=false
idle-activation-enabled=false
KEYS

exec 5> "$WORK/displayfd"
Xvfb -displayfd 5 -screen 0 1024x600x24 -nolisten tcp > "$WORK/xvfb.log" 2>&1 &
XVFB_PID=$!
for _ in $(seq 1 100); do [ -s "$WORK/displayfd" ] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$WORK/displayfd")

export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/.config XDG_CACHE_HOME=$WORK/home/.cache
export XDG_DATA_DIRS=$WORK/share:/usr/local/share:/usr/share XDG_CURRENT_DESKTOP=MATE
export GSETTINGS_BACKEND=keyfile
export WORK EXE SHOT HACK
timeout 240 dbus-run-session -- bash -c '
  fail() { echo "FAIL: $*"; exit 1; }
  mate-screensaver --no-daemon ${MATE_DEBUG:+--debug} > "$WORK/session.log" 2>&1 &
  daemon=$!
  trap "kill $daemon 2>/dev/null" EXIT
  for _ in $(seq 1 100); do mate-screensaver-command --query > /dev/null 2>&1 && break; sleep 0.2; done
  mate-screensaver-command --activate || fail "mate-screensaver-command --activate failed"
  pid=""
  for _ in $(seq 1 100); do
    pid=$(pgrep -f "^$HACK --root" | head -1)
    [ -n "$pid" ] && break
    sleep 0.2
  done
  [ -n "$pid" ] || { grep -ai "theme\|job\|exec\|brevonne" "$WORK/session.log" | tail -20; fail "mate-screensaver did not start brevonne3d"; }
  tr "\0" " " < /proc/$pid/environ | grep -q "XSCREENSAVER_WINDOW=" || fail "no XSCREENSAVER_WINDOW given"
  sleep $((12 * SCALE))
  kill -0 "$pid" 2>/dev/null || fail "brevonne3d ended by itself"
  # Behind the unlock dialog MATE stops the screensaver, then lets it go on.
  kill -STOP "$pid"; sleep 3; kill -CONT "$pid"; sleep 2
  kill -0 "$pid" 2>/dev/null || fail "brevonne3d did not survive SIGSTOP and SIGCONT"
  import -window root "$WORK/screen.png" 2>/dev/null || fail "no screenshot"
  [ -n "$SHOT" ] && cp "$WORK/screen.png" "$SHOT"
  colours=$(convert "$WORK/screen.png" -colors 256 -format "%k" info:)
  mean=$(convert "$WORK/screen.png" -colorspace Gray -format "%[fx:int(mean*255)]" info:)
  echo "screen while active: $colours colours, mean brightness $mean"
  [ "$colours" -ge 32 ] && [ "$mean" -ge 10 ] || fail "the screen shows no island"
  running() { local s; s=$(awk "{print \$3}" "/proc/$1/stat" 2>/dev/null); [ -n "$s" ] && [ "$s" != Z ]; }
  t0=$(date +%s%N)
  mate-screensaver-command --deactivate > /dev/null 2>&1 || fail "mate-screensaver-command --deactivate failed"
  for _ in $(seq 1 $((200 * SCALE))); do running "$pid" || break; sleep 0.01; done
  t1=$(date +%s%N)
  running "$pid" && fail "brevonne3d still runs 2 s after deactivation"
  echo "deactivation ended brevonne3d in $(( (t1 - t0) / 1000000 )) ms"
  [ $(( (t1 - t0) / 1000000 )) -le $((1000 * SCALE)) ] || fail "ending took too long"
  left=$(ls -A "$XDG_CACHE_HOME/Quillmere" 2>/dev/null | grep "^\.pk" || true)
  [ -z "$left" ] || fail "left in the cache folder: $left"
  echo PASS
'
rc=$?
[ $rc -eq 0 ] || fail "the MATE session check failed (code $rc)"
