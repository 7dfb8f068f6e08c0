# Back from the tray the window stands where the user moved it, the first
# time too, under a real window manager (openbox) with a tray (trayer).
# Usage: TrayPlace.sh TALLIX
set -u
tallix=${1:?usage: TrayPlace.sh TALLIX}
for tool in Xvfb xdotool xwininfo openbox trayer; do
  if ! command -v $tool >/dev/null; then echo "skipped: $tool is not installed" >&2; exit 77; fi
done

. "$(dirname "$0")/ScriptKit.sh" tray

export HOME=$work XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=xcb
mkdir -p "$work/config/Fernhill"
printf '[SOFTWARE\\Fernhill\\Tallix\\Currency]\nAutoDownload=0\n' >"$work/config/Fernhill/Tallix.conf"
Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
wait_for '[ -s "$work/display" ]' 10 || fail "Xvfb did not start"
export DISPLAY=:$(cat "$work/display")
openbox --config-file /dev/null >/dev/null 2>&1 &
pids+=($!)
trayer --edge bottom --align right --widthtype pixel --width 100 --height 32 >/dev/null 2>&1 &
pids+=($!)
wait_for 'xdotool search --name "^panel$" >/dev/null 2>&1' 10 || fail "no tray"
fail_log=("$work/stderr")
"$tallix" 2>"$work/stderr" &
p=$!
pids+=($p)
wait_for 'xdotool search --onlyvisible --name "^Tallix$" >/dev/null 2>&1' 60 || fail "no window"
id=$(xdotool search --onlyvisible --name '^Tallix$' | head -n 1)
place() { xwininfo -id "$id" 2>/dev/null | sed -n 's/^ *Absolute upper-left [XY]: *//p' | paste -sd, -; }
xdotool windowmove "$id" 900 150
wait_for '[ "$(place)" = "900,150" ]' 10 || fail "the window did not move ($(place))"
for round in 1 2; do
  xdotool windowactivate --sync "$id" key alt+F4
  wait_for '! xdotool search --onlyvisible --name "^Tallix$" >/dev/null 2>&1' 10 || fail "round $round: not sent to the tray"
  "$tallix" 2>>"$work/stderr"   # a second start brings the window back
  wait_for 'xdotool search --onlyvisible --name "^Tallix$" >/dev/null 2>&1' 10 || fail "round $round: not restored"
  sleep 0.5
  [ "$(place)" = "900,150" ] || fail "round $round: back at $(place), not 900,150"
  echo "round $round: $(place)"
done
echo "the window comes back from the tray where it was left"
