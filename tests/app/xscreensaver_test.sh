#!/usr/bin/env bash
# The real XScreenSaver daemon runs the screensaver: on a virtual display,
# as an unprivileged user (the daemon refuses to run screensavers as root),
# with a settings file whose programs list holds only brevonne3d --root.
# "xscreensaver-command --activate" must show the island (the root window is
# neither black nor one colour), "--deactivate" must end our process within a
# second, with nothing left in its cache folder.
# Usage: xscreensaver_test.sh EXE [SCREENSHOT.png]
set -uo pipefail
EXE=$1
# Sanitizer builds run several times slower: their time limits are scaled.
SCALE=${VELMORA_TIME_SCALE:-1}
SHOT=${2:-}
RUNAS=(setpriv --reuid=65534 --regid=65534 --clear-groups)
command -v xscreensaver >/dev/null || { echo "SKIP: xscreensaver is not installed"; exit 0; }

WORK=$(mktemp -d /tmp/brevonne-xss.XXXXXX)
chmod 755 "$WORK"
HOMEDIR=$WORK/home
mkdir -p "$HOMEDIR"
# The program is copied where the unprivileged user can read it.
cp "$EXE" "$WORK/brevonne3d"
chmod 755 "$WORK/brevonne3d"
cat > "$HOMEDIR/.xscreensaver" <<CONFIG
mode:		one
selected:	0
timeout:	1:00:00
cycle:		0:00:00
lock:		False
splash:		False
fade:		False
unfade:		False
dpmsEnabled:	False
programs:	GL: "Brevonne 3D" $WORK/brevonne3d --root --no-sound \n
CONFIG
chown -R 65534:65534 "$HOMEDIR"

XVFB_PID=""
DAEMON_PID=""
cleanup() {
  [ -n "$DAEMON_PID" ] && kill "$DAEMON_PID" 2>/dev/null
  sleep 0.5
  [ -n "$DAEMON_PID" ] && kill -9 "$DAEMON_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  [ -f "$WORK/daemon.log" ] && grep -a "xscreensaver" "$WORK/daemon.log" | tail -25
  exit 1
}

# A display of our own that the unprivileged user may connect to.
exec 5> "$WORK/displayfd"
Xvfb -displayfd 5 -screen 0 1024x600x24 -ac -nolisten tcp > "$WORK/xvfb.log" 2>&1 &
XVFB_PID=$!
for _ in $(seq 1 100); do [ -s "$WORK/displayfd" ] && break; sleep 0.1; done
DISPLAY=:$(head -1 "$WORK/displayfd")
export DISPLAY
[ "$DISPLAY" != ":" ] || fail "Xvfb did not start"

as_user() {
  env -i DISPLAY="$DISPLAY" HOME="$HOMEDIR" PATH=/usr/bin:/bin USER=nobody LOGNAME=nobody \
    ASAN_OPTIONS="${ASAN_OPTIONS:-}" UBSAN_OPTIONS="${UBSAN_OPTIONS:-}" LIBGL_ALWAYS_SOFTWARE=1 MESA_SHADER_CACHE_DISABLE=true ALSOFT_DRIVERS=null \
    XDG_CACHE_HOME="$HOMEDIR/.cache" XDG_CONFIG_HOME="$HOMEDIR/.config" "${RUNAS[@]}" "$@"
}

as_user xscreensaver --no-splash --verbose > "$WORK/daemon.log" 2>&1 &
DAEMON_PID=$!
for _ in $(seq 1 100); do
  as_user xscreensaver-command -version > /dev/null 2>&1 && break
  kill -0 "$DAEMON_PID" 2>/dev/null || fail "the daemon did not start"
  sleep 0.2
done
as_user xscreensaver-command -activate > /dev/null 2>&1 || fail "xscreensaver-command -activate failed"

# Our process, started by the daemon, and the island on the screen.
pid=""
for _ in $(seq 1 100); do
  pid=$(pgrep -u 65534 -f "^$WORK/brevonne3d --root" | head -1)
  [ -n "$pid" ] && break
  sleep 0.2
done
[ -n "$pid" ] || fail "the daemon did not start brevonne3d"
sleep $((12 * SCALE))
kill -0 "$pid" 2>/dev/null || fail "brevonne3d ended by itself"
# The daemon runs one instance per monitor: every one of them must end at deactivation.
pids=$(pgrep -u 65534 -f "^$WORK/brevonne3d --root" | tr '\n' ' ')
import -display "$DISPLAY" -window root "$WORK/screen.png" 2>/dev/null || fail "no screenshot"
[ -n "$SHOT" ] && cp "$WORK/screen.png" "$SHOT"
colours=$(convert "$WORK/screen.png" -colors 256 -format '%k' info:)
mean=$(convert "$WORK/screen.png" -colorspace Gray -format '%[fx:int(mean*255)]' info:)
echo "screen while active: $colours colours, mean brightness $mean"
[ "$colours" -ge 32 ] && [ "$mean" -ge 10 ] || fail "the screen shows no island"
ls -A "$HOMEDIR/.cache/Quillmere" 2>/dev/null | grep -q '^\.pk\.' || fail "no unpacked archive while running"

# Unblanking ends the run at once.
t0=$(date +%s%N)
as_user xscreensaver-command -deactivate > /dev/null 2>&1 || fail "xscreensaver-command -deactivate failed"
# Ended means gone or a zombie: its parent (the daemon's helper) may be gone too, leaving the
# reaping to whoever adopts it.
running() { local state; state=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null); [ -n "$state" ] && [ "$state" != Z ]; }
any_running() { for p in $pids; do running "$p" && return 0; done; return 1; }
for _ in $(seq 1 $((200 * SCALE))); do any_running || break; sleep 0.01; done
t1=$(date +%s%N)
any_running && fail "brevonne3d still runs 2 s after deactivation"
ms=$(( (t1 - t0) / 1000000 ))
echo "deactivation ended brevonne3d in $ms ms"
[ "$ms" -le $((1000 * SCALE)) ] || fail "ending took $ms ms"
left=$(ls -A "$HOMEDIR/.cache/Quillmere" 2>/dev/null | grep '^\.pk' || true)
[ -z "$left" ] || fail "left in the cache folder: $left"
echo PASS
