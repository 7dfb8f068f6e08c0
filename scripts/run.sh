#!/usr/bin/env bash
# Installs what is missing, builds Tallix and starts it. Arguments go to tallix.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh tallix
exec build/bin/tallix "$@"
