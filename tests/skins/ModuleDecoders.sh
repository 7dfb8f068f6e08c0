#!/bin/sh
# The program decodes JPEG and GIF skin images through its decoder module,
# opened from its own folder; without the module those images are refused
# with the checker's message, not a crash.
# Usage: ModuleDecoders.sh PROGRAM_FOLDER TESTDATA
set -u
bin=$1
data=$2/images
[ -f "$data/libjpeg-turbo/testorig.jpg" ] && [ -f "$data/gif-test-suite/all-blues.gif" ] || exit 77
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/Skins"
cp -r "$bin/Skins/default" "$work/Skins/"
cp "$data/libjpeg-turbo/testorig.jpg" "$work/Skins/default/photo.jpg"
cp "$data/gif-test-suite/all-blues.gif" "$work/Skins/default/blues.gif"
sed -e 's/^BackgroundWide=.*/BackgroundWide=photo.jpg/' -e 's/^ConvBackground=.*/ConvBackground=blues.gif/' \
  "$bin/Skins/default.ini" >"$work/Skins/default.ini"
grep -q '^BackgroundWide=photo.jpg' "$work/Skins/default.ini" || { echo "skin has no BackgroundWide"; exit 1; }

out=$("$bin/tallix" --check-skin "$work/Skins/default.ini" 2>&1)
if echo "$out" | grep -q "does not decode"; then
  echo "with the module: $out"
  exit 1
fi

# A program folder without the module.
cp "$bin/tallix" "$work/tallix"
out=$("$work/tallix" --check-skin "$work/Skins/default.ini" 2>&1)
status=$?
if [ $status -gt 1 ] || ! echo "$out" | grep -q "photo.jpg does not decode"; then
  echo "without the module (status $status): $out"
  exit 1
fi
exit 0
