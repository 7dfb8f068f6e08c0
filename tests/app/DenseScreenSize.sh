# The window keeps its own size at every scale, whatever place was saved: on
# a 1280 x 1024 screen at scale 2 (640 x 512 logical) it is the double-size
# face, 480 x 588 device pixels, not a landscape layout.
# Usage: DenseScreenSize.sh TALLIX
set -u
tallix=${1:?usage: DenseScreenSize.sh TALLIX}
for tool in Xvfb xdotool; do
  if ! command -v $tool >/dev/null; then echo "skipped: $tool is not installed" >&2; exit 77; fi
done

. "$(dirname "$0")/ScriptKit.sh" dense

export HOME=$work XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=xcb
Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
wait_for '[ -s "$work/display" ]' 10 || fail "Xvfb did not start"
export DISPLAY=:$(cat "$work/display")

# name, QT_SCALE_FACTOR, saved left edge ("" none), expected size
run() {
  local name=$1 scale=$2 left=$3 expected=$4 config=$work/config-$1 p id size
  mkdir -p "$config/Fernhill"
  if [ -n "$left" ]; then
    printf '[SOFTWARE\\Fernhill\\Tallix\\General]\nWindowPositionLeft=%s\nWindowPositionTop=300\nVGA=0\nVGAChosen=0\n' \
      "$left" >"$config/Fernhill/Tallix.conf"
  fi
  printf '[SOFTWARE\\Fernhill\\Tallix\\Currency]\nAutoDownload=0\n' >>"$config/Fernhill/Tallix.conf"
  fail_log=("$work/stderr-$name")
  XDG_CONFIG_HOME=$config QT_SCALE_FACTOR=$scale "$tallix" 2>"$work/stderr-$name" &
  p=$!
  pids+=($p)
  wait_for 'xdotool search --onlyvisible --name "^Tallix$" >/dev/null 2>&1' 60 || fail "$name: no window"
  id=$(xdotool search --onlyvisible --name '^Tallix$' | head -n 1)
  wait_for '[ "$(xdotool getwindowgeometry "$id" | sed -n "s/^ *Geometry: //p")" = "$expected" ]' 10
  size=$(xdotool getwindowgeometry "$id" | sed -n 's/^ *Geometry: //p')
  kill -TERM $p
  wait $p 2>/dev/null
  [ "$size" = "$expected" ] || fail "$name: the window is $size, not $expected"
  echo "$name: $size"
}

run plain 1 "" 240x294
run dense-fresh 2 "" 480x588
run dense-after-plain-place 2 1000 480x588
echo "the window keeps its size at every scale"
