# Sourced by the test scripts that start the program beside helpers of their
# own: `work` is a private folder removed at exit, with the runtime folder
# run/ (0700); every pid added to `pids` is ended at exit; `fail_log` lists
# files shown when a check fails. Usage: . ScriptKit.sh NAME
work=$(mktemp -d "${TMPDIR:-/tmp}/tallix-$1.XXXXXX")
mkdir -m 700 "$work/run"
pids=()
fail_log=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*" >&2
  [ ${#fail_log[@]} -gt 0 ] && tail -n 20 "${fail_log[@]}" >&2 2>/dev/null
  exit 1
}
# Waits up to $2 seconds for condition $1.
wait_for() {
  local end=$(( $(date +%s) + $2 ))
  until eval "$1"; do [ "$(date +%s)" -ge "$end" ] && return 1; sleep 0.1; done
}
