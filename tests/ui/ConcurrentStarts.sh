#!/usr/bin/env bash
# Twenty starts at once on a private X server leave exactly one window; the
# other nineteen hand over to it and exit 0, each within HANDOVER_MS (default
# 1000) of its start. A survivor killed with SIGKILL leaves nothing that stops
# the next start from running. Usage: ConcurrentStarts.sh TALLIX [HANDOVER_MS]
# Exits 77 (skipped) when Xvfb or xdotool is missing.
set -u
tallix=${1:?usage: ConcurrentStarts.sh TALLIX [HANDOVER_MS]}
limit=${2:-1000}
# Twenty programs starting at once need the processor; on a machine already
# running more than twice as many jobs as it has cores, the limit is tripled.
read -r load _ </proc/loadavg
if awk -v l="$load" -v c="$(nproc)" 'BEGIN { exit !(l > 2 * c) }'; then
  limit=$(( limit * 3 ))
  echo "load average $load on $(nproc) cores: hand-over limit $limit ms" >&2
fi
for tool in Xvfb xdotool; do
  if ! command -v $tool >/dev/null; then echo "skipped: $tool is not installed" >&2; exit 77; fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/tallix-starts.XXXXXX")
xpid=""
cleanup() {
  for p in $(cat "$work/pids" 2>/dev/null); do kill -9 "$p" 2>/dev/null; done
  if [ -n "$xpid" ]; then kill "$xpid" 2>/dev/null; fi
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*" >&2
  echo "ended: $(cat "$work/exits" 2>/dev/null | tr '\n' ';')" >&2
  cat "$work/stderr" >&2 2>/dev/null
  exit 1
}

mkdir -m 700 "$work/run"
export HOME=$work XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=xcb
# -noreset: when the killed instance was its last client, a resetting server
# would refuse the next start for a moment.
Xvfb -displayfd 3 -noreset -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xpid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=:$(cat "$work/display")

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
windows() { xdotool search --onlyvisible --name '^Tallix$' 2>/dev/null | wc -l; }
# Runs one start in the background; its exit code and lifetime go to $work/exits.
start() {
  { t0=$(now_ms); "$tallix" >/dev/null 2>>"$work/stderr" & p=$!; echo $p >>"$work/pids"
    wait $p; rc=$?; echo "$p $rc $(( $(now_ms) - t0 ))" >>"$work/exits"; } 2>/dev/null &
}
# Waits up to $2 seconds for condition $1.
wait_for() {
  local end=$(( $(date +%s) + $2 ))
  until eval "$1"; do [ "$(date +%s)" -ge "$end" ] && return 1; sleep 0.2; done
}
exits() { wc -l <"$work/exits" 2>/dev/null || echo 0; }

: >"$work/exits"
for _ in $(seq 20); do start; done
wait_for '[ "$(exits)" -ge 19 ]' 120 || fail "only $(exits) of nineteen starts ended"
wait_for '[ "$(windows)" -ge 1 ]' 120 || fail "no window came up"
sleep 1   # a second window, were there one, would show by now
[ "$(windows)" -eq 1 ] || fail "$(windows) windows"
[ "$(exits)" -eq 19 ] || fail "$(exits) starts ended, not nineteen"
awk '$2 != 0 { bad = 1; print "exit code " $2 " from process " $1 > "/dev/stderr" } END { exit bad }' \
  "$work/exits" || fail "a start that handed over did not exit 0"
sort -k3 -n "$work/exits" | awk "{printf \"%s \", \$3} END {print \"\"}" >&2
slowest=$(awk '{ if ($3 > m) m = $3 } END { print m }' "$work/exits")
echo "nineteen hand-overs, slowest $slowest ms from its start (limit $limit ms)"
[ "$slowest" -le "$limit" ] || fail "a hand-over took $slowest ms"

survivor=""
for p in $(cat "$work/pids"); do
  if ! grep -q "^$p " "$work/exits"; then survivor=$p; fi
done
[ -n "$survivor" ] || fail "no surviving process"
kill -9 "$survivor"
wait_for '[ "$(exits)" -ge 20 ] && [ "$(windows)" -eq 0 ]' 60 || fail "the killed window stays"
t0=$(now_ms)
start
last=$(tail -n 1 "$work/pids")
wait_for '[ "$(windows)" -eq 1 ]' 120 ||
  fail "no window after a start that follows a kill (process $last $(kill -0 "$last" 2>/dev/null && echo runs || echo ended))"
[ "$(exits)" -eq 20 ] || fail "the start after a kill ended: $(tail -1 "$work/exits")"
echo "the start after a kill shows its window after $(( $(now_ms) - t0 )) ms"
