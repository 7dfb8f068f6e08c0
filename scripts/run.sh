#!/usr/bin/env bash
# Installs what is missing, builds Tallix and starts it, in the caller's
# folder, with the given arguments. Set-up and build messages go to standard
# error, so what Tallix prints is all that reaches standard output.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" tallix
exec "$root/build/bin/tallix" "$@"
