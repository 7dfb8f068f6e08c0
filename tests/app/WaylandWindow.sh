#!/usr/bin/env bash
# The window on Wayland: under weston's headless backend the program maps its
# window and draws the skin (a part of the off-screen picture of the same
# window is found in the compositor's screenshot), and a second start hands
# over to it and exits 0 while the first keeps running.
# Usage: WaylandWindow.sh TALLIX IMAGE_FIND. Exits 77 (skipped) when weston,
# weston-screenshooter or Qt's Wayland platform plugin is missing.
set -u
tallix=${1:?usage: WaylandWindow.sh TALLIX IMAGE_FIND}
find=${2:?usage: WaylandWindow.sh TALLIX IMAGE_FIND}
for tool in weston weston-screenshooter; do
  if ! command -v $tool >/dev/null; then echo "skipped: $tool is not installed" >&2; exit 77; fi
done
plugins=$(ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so 2>/dev/null)
[ -n "$plugins" ] || { echo "skipped: Qt's Wayland platform (qt6-wayland) is not installed" >&2; exit 77; }

. "$(dirname "$0")/ScriptKit.sh" wayland
fail_log=("$work/weston.log" "$work/stderr")

mkdir "$work/shots"
export HOME=$work XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache
unset DISPLAY
# The reference: the same window drawn off-screen.
QT_QPA_PLATFORM=offscreen "$tallix" --screenshot "$work/reference.png" || fail "no off-screen picture"
# --debug offers the screenshot protocol.
weston --backend=headless-backend.so --use-pixman --debug --socket=tallix-test --width=800 --height=600 \
  --idle-time=0 >"$work/weston.log" 2>&1 &
pids+=($!)
wait_for '[ -S "$work/run/tallix-test" ]' 20 || fail "weston did not start"
export WAYLAND_DISPLAY=tallix-test QT_QPA_PLATFORM=wayland

"$tallix" 2>"$work/stderr" &
first=$!
pids+=($first)
# Mapped and drawn once a screenshot shows the window's keypad.
found=0
for _ in $(seq 60); do
  sleep 0.5
  rm -f "$work/shots"/*.png
  (cd "$work/shots" && weston-screenshooter >/dev/null 2>&1)
  shot=$(ls "$work/shots"/*.png 2>/dev/null | head -n 1)
  [ -n "$shot" ] || continue
  # The middle of the keypad: no title bar, no focus frame.
  if "$find" "$shot" "$work/reference.png" 20 150 200 120 >/dev/null 2>&1; then found=1; break; fi
done
[ $found -eq 1 ] || fail "the window's keypad never showed in the compositor"
echo "the window maps and draws under weston"

t0=$(date +%s)
timeout 30 "$tallix" 2>>"$work/stderr"
rc=$?
[ $rc -eq 0 ] || fail "the second start ended with $rc"
kill -0 $first 2>/dev/null || fail "the first window ended when the second start came"
echo "a second start handed over in $(( $(date +%s) - t0 )) s"
kill -TERM $first
wait $first || fail "the window did not end cleanly"
