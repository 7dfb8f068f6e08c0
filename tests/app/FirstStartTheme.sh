#!/usr/bin/env bash
# A first start takes the dark skin where the desktop prefers a dark style and
# the default skin otherwise; a skin already stored is kept whatever the
# desktop prefers. The desktop's preference comes from a stand-in settings
# portal on a private session bus; the program runs under a private X server
# and saves its settings when told to end. With SHOT_DIR set, each first
# start's window is also saved there as a PNG (needs ImageMagick's import).
# Usage: FirstStartTheme.sh TALLIX FAKE_PORTAL. Exits 77 (skipped) when
# Xvfb, xdotool or dbus-daemon is missing.
set -u
tallix=${1:?usage: FirstStartTheme.sh TALLIX FAKE_PORTAL}
portal=${2:?usage: FirstStartTheme.sh TALLIX FAKE_PORTAL}
for tool in Xvfb xdotool dbus-daemon; do
  if ! command -v $tool >/dev/null; then echo "skipped: $tool is not installed" >&2; exit 77; fi
done

. "$(dirname "$0")/ScriptKit.sh" theme

export HOME=$work XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=xcb
# -noreset: each start is the server's last client when it ends, and a resetting
# server refuses the next start that comes in meanwhile.
Xvfb -displayfd 3 -noreset -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
wait_for '[ -s "$work/display" ]' 10 || fail "Xvfb did not start"
export DISPLAY=:$(cat "$work/display")
# A bus of our own with no services to start: the standard session
# configuration would start a desktop portal installed on this machine,
# which then answers in place of the stand-in (or holds its name).
mkdir "$work/services"
cat >"$work/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=$work/bus</listen>
  <servicedir>$work/services</servicedir>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
# A portal installed on this machine, started on demand as a desktop's
# would be: it must never be started here.
mkdir -p "$work/share/dbus-1/services"
printf '[D-BUS Service]\nName=org.freedesktop.portal.Desktop\nExec=%s 1\n' "$portal" \
  >"$work/share/dbus-1/services/org.freedesktop.portal.Desktop.service"
XDG_DATA_DIRS=$work/share:${XDG_DATA_DIRS:-/usr/local/share:/usr/share} \
  dbus-daemon --config-file="$work/bus.conf" --nofork --print-address=4 4>"$work/address" 2>/dev/null &
pids+=($!)
wait_for '[ -s "$work/address" ]' 10 || fail "dbus-daemon did not start"
export DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/address")

# run NAME SCHEME STORED EXPECTED: a start with the portal answering SCHEME
# (none: no portal) and the skin STORED before ("" for a first start) saves
# EXPECTED as its skin.
run() {
  local name=$1 scheme=$2 stored=$3 expected=$4 config=$work/config-$1 portal_pid="" p
  mkdir -p "$config/Fernhill"
  if [ -n "$stored" ]; then
    printf '[SOFTWARE\\Fernhill\\Tallix\\General]\nIniFile="%s"\n' "$stored" >"$config/Fernhill/Tallix.conf"
  fi
  if [ "$scheme" != none ]; then
    "$portal" "$scheme" >"$work/portal-$name" 2>&1 &
    portal_pid=$!
    pids+=($portal_pid)
    wait_for 'grep -q ready "$work/portal-$name"' 10 || fail "$name: the stand-in portal did not start"
  fi
  fail_log=("$work/stderr-$name")
  XDG_CONFIG_HOME=$config "$tallix" 2>"$work/stderr-$name" &
  p=$!
  pids+=($p)
  wait_for 'xdotool search --onlyvisible --name "^Tallix$" >/dev/null 2>&1' 60 || fail "$name: no window"
  sleep 0.5   # the first paint
  if [ -n "${SHOT_DIR:-}" ] && command -v import >/dev/null; then
    mkdir -p "$SHOT_DIR"
    import -window "$(xdotool search --onlyvisible --name '^Tallix$' | head -n 1)" "$SHOT_DIR/first-start-$name.png"
  fi
  kill -TERM $p
  wait $p || fail "$name: the program did not end cleanly"
  [ -n "$portal_pid" ] && { kill "$portal_pid"; wait "$portal_pid" 2>/dev/null; }
  local saved
  # A skin stored by an older version is read from its file and saved in the new one.
  saved=$(sed -n 's/^IniFile="\(.*\)"$/\1/p' "$config/tallix/tallix.conf")
  [ "$saved" = "$expected" ] || fail "$name: skin $saved, not $expected ($(cat "$work/stderr-$name"))"
  echo "$name: $saved"
}

run dark 1 "" dark.ini
run light 2 "" default.ini
run no-preference 0 "" default.ini
run no-portal none "" default.ini
run dark-kept-default 1 default.ini default.ini
run light-kept-dark 2 dark.ini dark.ini

# A session bus that takes connections and never answers holds up no start.
python3 -c '
import socket, sys
listener = socket.socket(socket.AF_UNIX)
listener.bind(sys.argv[1])
listener.listen(16)
held = []
while True:
    held.append(listener.accept())
' "$work/deaf-bus" &
pids+=($!)
wait_for '[ -S "$work/deaf-bus" ]' 10 || fail "the silent bus did not start"
DBUS_SESSION_BUS_ADDRESS=unix:path=$work/deaf-bus run silent-bus none "" default.ini
echo "the first start follows the desktop; a stored skin is kept"
