#!/bin/bash
# Single instance against another local user, with two real accounts. Run as
# root on a test machine (it adds the users tallix-alice and tallix-mallory
# and removes them again); not part of the test suite.
#   scripts/check-local-users.sh [path/to/tallix]     (default: build/bin/tallix)
# Prints one line per check; exits 1 when one fails.
set -u
[ "$(id -u)" = 0 ] || { echo "run as root" >&2; exit 2; }
tallix=$(readlink -f "${1:-build/bin/tallix}")
[ -x "$tallix" ] || { echo "no program at $tallix" >&2; exit 2; }
py=/usr/bin/python3
alice=tallix-alice mallory=tallix-mallory
work=$(mktemp -d /tmp/tallix-users.XXXXXX)
chmod 755 "$work"
mkdir -m 1777 "$work/logs"
failed=0 pids=()

stop() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
  pids=()
}
cleanup() {
  stop
  rm -rf "$work" "/tmp/runtime-$alice" "/tmp/CVexSingleInst_MMF_Tallix Application" "/tmp/Tallix Application.lock"
  for u in $alice $mallory; do userdel "$u" 2>/dev/null; done
}
trap cleanup EXIT
for u in $alice $mallory; do id "$u" >/dev/null 2>&1 || useradd -M -d /nonexistent -s /usr/sbin/nologin "$u"; done

check() {  # check NAME CONDITION-EXIT-STATUS DETAIL
  if [ "$2" = 0 ]; then echo "ok:     $1 ($3)"; else echo "FAILED: $1 ($3)"; failed=1; fi
}
as() { local u=$1; shift; setpriv --reuid="$u" --regid="$u" --clear-groups -- "$@"; }
# In the background, its pid kept (setpriv and env run the command in place,
# so that pid is the command's own).
as_bg() { local u=$1; shift; setpriv --reuid="$u" --regid="$u" --clear-groups -- "$@" & pids+=($!); }
# Alice's own home and folders; her runtime folder only when given.
home=$work/alice; mkdir -p "$home"; chown $alice "$home"; chmod 700 "$home"
# With a desktop's usual limit of open files.
alice_env() {
  echo prlimit --nofile=1024:1024 env -i PATH=/usr/bin:/bin HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data \
    XDG_CACHE_HOME=$home/cache QT_QPA_PLATFORM=offscreen "$@"
}
# A listener run as $1 at $2: logs every connection (the peer's first bytes) to $3.
listen_as() {
  as_bg "$1" $py -c '
import os, socket, sys
s = socket.socket(socket.AF_UNIX); s.bind(sys.argv[1]); os.chmod(sys.argv[1], 0o777); s.listen(64)
open(sys.argv[2], "w").close()
while True:
    c, _ = s.accept(); c.settimeout(1)
    try: data = c.recv(64)
    except OSError: data = b"(nothing)"
    open(sys.argv[2], "a").write(repr(data) + "\n"); c.close()
' "$2" "$3"
  for _ in $(seq 50); do [ -e "$3" ] && return; sleep 0.1; done
}
# Starts Alice's Tallix (in the tray); true when it is still running after 2 s.
alice_keeps_running() {
  local log=$1; shift
  as_bg $alice $(alice_env "$@") "$tallix" -m >"$log" 2>&1
  local p=${pids[-1]}
  sleep 2
  kill -0 $p 2>/dev/null
}

echo "== 1. No runtime folder; another user made /tmp/runtime-$alice and listens where a shared fallback would be"
as $mallory mkdir -m 777 "/tmp/runtime-$alice"
listen_as $mallory "/tmp/CVexSingleInst_MMF_Tallix Application" "$work/logs/mallory1"
alice_keeps_running "$work/alice1.log"; check "Alice's start runs its own window, not handing over" $? "$(head -1 "$work/alice1.log")"
[ ! -s "$work/logs/mallory1" ]; check "the other user's listener heard nothing" $? "$(wc -l <"$work/logs/mallory1") connections"
[ ! -e "/tmp/Tallix Application.lock" ]; check "no lock in the shared /tmp" $? "/tmp/Tallix Application.lock"
stop
rm -rf "/tmp/runtime-$alice" "/tmp/CVexSingleInst_MMF_Tallix Application"

echo "== 2. A socket of another user's process in Alice's private runtime folder"
run=$work/alice-run; mkdir -m 700 "$run"; chown $alice "$run"
mkdir -m 700 "$work/mallory"; chown $mallory "$work/mallory"
listen_as $mallory "$work/mallory/socket" "$work/logs/mallory2"
mv "$work/mallory/socket" "$run/CVexSingleInst_MMF_Tallix Application"  # put there by a mistake or by root
alice_keeps_running "$work/alice2.log" XDG_RUNTIME_DIR=$run; rc=$?
check "Alice's start does not hand over to the other user's listener" $rc "still running"
! grep -q 32771 "$work/logs/mallory2"; check "the listener got no request" $? "$(tr '\n' ' ' <"$work/logs/mallory2")"
stop

echo "== 3. Alice's running instance, reached by another user and by 1,100 idle connections of her own"
sock="$run/CVexSingleInst_MMF_Tallix Application"
rm -f "$sock"
alice_keeps_running "$work/alice3.log" XDG_RUNTIME_DIR=$run; check "Alice's instance runs" $? "$(head -1 "$work/alice3.log")"
alice_pid=${pids[-1]}
for _ in $(seq 50); do [ -S "$sock" ] && break; sleep 0.1; done
# Root stands in for the other user: only root can enter the private folder at all.
closed=$($py -c '
import socket, sys, time
c = socket.socket(socket.AF_UNIX); c.connect(sys.argv[1]); c.settimeout(3); t = time.time()
print("closed after %.1f s" % (time.time() - t) if c.recv(1) == b"" else "answered")' "$sock")
[[ $closed == "closed after 0."* ]]; check "a connection of another user is closed at once" $? "$closed"
idle=$(as $alice $py -c '
import socket, sys, time
c = socket.socket(socket.AF_UNIX); c.connect(sys.argv[1]); c.settimeout(5); t = time.time()
print("closed after %.1f s" % (time.time() - t) if c.recv(1) == b"" else "answered")' "$sock")
[[ $idle == "closed after 1."* || $idle == "closed after 0.9"* ]]; check "Alice's own silent connection is dropped after a second" $? "$idle"
as_bg $alice $py -c '
import resource, signal, socket, sys, time
resource.setrlimit(resource.RLIMIT_NOFILE, (4096, 4096))
signal.alarm(20)  # a listener that stops accepting must not hold the check
held, connected = [], 0
for i in range(1100):
    c = socket.socket(socket.AF_UNIX)
    try: c.connect(sys.argv[1]); connected += 1
    except OSError: pass
    held.append(c)
print("%d idle connections made" % connected, flush=True)
time.sleep(8)' "$sock" > "$work/logs/flood"
for _ in $(seq 100); do [ -s "$work/logs/flood" ] && break; sleep 0.1; done
echo "        $(cat "$work/logs/flood")"
fds=$(ls /proc/$alice_pid/fd 2>/dev/null | wc -l)
[ "$fds" -gt 0 ] && [ "$fds" -lt 60 ]; check "the instance holds few descriptors during the flood" $? "$fds open"
cpu0=$(awk '{print $14+$15}' /proc/$alice_pid/stat 2>/dev/null); sleep 1
cpu1=$(awk '{print $14+$15}' /proc/$alice_pid/stat 2>/dev/null)
[ -n "$cpu0" ] && [ -n "$cpu1" ] && [ $((cpu1 - cpu0)) -lt 30 ]; check "and does not spin" $? "$((cpu1 - cpu0)) ticks of CPU in 1 s"
t0=$(date +%s%N)
as $alice $(alice_env XDG_RUNTIME_DIR=$run) timeout -s KILL 10 "$tallix" >"$work/alice4.log" 2>&1; rc=$?
ms=$(( ($(date +%s%N) - t0) / 1000000 ))
[ $rc = 0 ] && [ $ms -lt 5000 ]; check "a new start hands over during the flood" $? "exit $rc after $ms ms"
kill -0 $alice_pid 2>/dev/null; check "the instance is still running" $? "pid $alice_pid"

exit $failed
