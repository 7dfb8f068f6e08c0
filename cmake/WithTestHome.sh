#!/bin/sh
# Runs a test command with a home folder of its own, made under TMPDIR and
# removed afterwards, so that no test reads or leaves a user's files.
home=$(mktemp -d "${TMPDIR:-/tmp}/tallix-test-home.XXXXXX") || exit 1
trap 'rm -rf "$home"' EXIT
trap 'exit 130' INT TERM
HOME=$home XDG_CONFIG_HOME=$home/.config XDG_STATE_HOME=$home/.local/state \
  XDG_DATA_HOME=$home/.local/share XDG_CACHE_HOME=$home/.cache "$@"
