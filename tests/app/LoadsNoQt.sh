#!/bin/sh
# LoadsNoQt.sh TALLIX SKIN: each terminal command runs without mapping a Qt
# library (the dynamic loader names every file it maps).
tallix=$1 skin=$2
status=0
check() {
  maps=$(LD_DEBUG=files "$tallix" "$@" 2>&1 >/dev/null </dev/null | grep 'file=' | grep -o 'libQt[^ ]*' | sort -u)
  if [ -n "$maps" ]; then echo "tallix $*: maps $maps"; status=1; fi
}
check 2+3
check -
check --convert 1 mi km
check --list-units Distance
check --list-currencies
check --press "0,2 1,0 0,3 5,0"
check --check-skin "$skin"
check --cli
# Refused at once: nothing is replaced.
TALLIX_RATES_URL=http://127.0.0.1:9/ check --update-rates --quiet
check --help
[ $status -eq 0 ] && echo "no terminal command maps a Qt library"
exit $status
