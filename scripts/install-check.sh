#!/usr/bin/env bash
# Shows end to end, as root on this machine, that the Debian package works
# for an ordinary user: it builds (scripts/package.sh) and installs; tallix is
# /usr/bin/tallix; the desktop entry, the metainfo and the manual page
# validate; a new user with a fresh home downloads rates from a local server
# (the European Central Bank's XML format), converts with them, draws a
# screenshot and sees no write error; removing the package keeps that user's
# rates and settings, and reinstalling finds them again. The package and the
# user are removed at the end. Installs system-wide: never run from ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
[ "$(id -u)" -eq 0 ] || { echo "install-check: run as root" >&2; exit 2; }

step() { echo "== $*"; }
fail() { echo "FAILED: $*"; exit 1; }

step "building the package"
deb=$(bash scripts/package.sh | tail -n 1)
echo "$deb"

work=$(mktemp -d /tmp/tallix-install-check.XXXXXX)
chmod 755 "$work"
user="tallixcheck$$"
server_pid=""
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  userdel -r "$user" >/dev/null 2>&1 || true
  dpkg -r tallix >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

install_package() {
  dpkg -i "$deb" >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -q -f >/dev/null
}

step "installing"
install_package
[ "$(command -v tallix)" = /usr/bin/tallix ] || fail "tallix is $(command -v tallix)"
echo "tallix is /usr/bin/tallix"
desktop-file-validate /usr/share/applications/io.github.tallix.Tallix.desktop && echo "desktop entry: valid"
appstreamcli validate --no-net /usr/share/metainfo/io.github.tallix.Tallix.metainfo.xml
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l /usr/share/man/man1/tallix.1.gz 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "manual page: $warnings"
echo "manual page: no warnings"

step "a local rates server in the European Central Bank's format"
mkdir -p "$work/www"
cat > "$work/www/eurofxref-daily.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<gesmes:Envelope xmlns:gesmes="http://www.gesmes.org/xml/2002-08-01" xmlns="http://www.ecb.int/vocabulary/2002-08-01/eurofxref">
<gesmes:subject>Reference rates</gesmes:subject>
<gesmes:Sender><gesmes:name>European Central Bank</gesmes:name></gesmes:Sender>
<Cube><Cube time="2026-12-07">
<Cube currency="USD" rate="1.2345"/><Cube currency="JPY" rate="180.00"/><Cube currency="GBP" rate="0.8500"/>
<Cube currency="CHF" rate="0.9400"/><Cube currency="CAD" rate="1.7000"/><Cube currency="AUD" rate="1.8000"/>
</Cube></Cube>
</gesmes:Envelope>
XML
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$work/www" >/dev/null 2>&1 &
server_pid=$!
for _ in $(seq 50); do python3 -c "import socket; socket.create_connection(('127.0.0.1',$port))" 2>/dev/null && break; sleep 0.1; done

step "an ordinary user with a fresh home"
useradd -m -d "$work/home" -s /bin/sh "$user"
# The private runtime folder a login session gives its user.
install -d -m 700 -o "$user" "$work/run"
as_user() {
  runuser -u "$user" -- env -i HOME="$work/home" XDG_RUNTIME_DIR="$work/run" PATH=/usr/bin:/bin LANG=C.UTF-8 \
    TALLIX_RATES_URL="http://127.0.0.1:$port/eurofxref-daily.xml" QT_QPA_PLATFORM=offscreen "$@"
}
errors="$work/errors"
: > "$errors"
chmod 666 "$errors"
as_user tallix --update-rates 2>>"$errors" || fail "--update-rates: $(cat "$errors")"
converted=$(as_user tallix --convert 100 EUR USD 2>>"$errors")
echo "tallix --convert 100 EUR USD: $converted"
[ "$converted" = "123.45" ] || fail "100 EUR gave $converted USD, not 123.45"
as_user sh -c "cd '$work/home' && tallix --screenshot shot.png" 2>>"$errors" || fail "--screenshot: $(cat "$errors")"
[ -s "$work/home/shot.png" ] || fail "no screenshot"
file "$work/home/shot.png"
if grep -Ei "could not|can't be|cannot|denied|error" "$errors"; then fail "messages of the user's runs"; fi
echo "standard error of the user's runs:"; sed 's/^/  /' "$errors"
rates="$work/home/.local/share/tallix/Currency/Currency.ini"
settings="$work/home/.config/tallix/tallix.conf"
[ -f "$rates" ] || fail "no user rates file"
[ -f "$settings" ] || fail "no user settings"
cmp -s "$rates" /usr/share/tallix/Currency/Currency.ini && fail "the shipped rates were replaced"
echo "user's rates: $rates"
echo "user's settings: $settings"
dpkg -V tallix && echo "shipped files: unchanged (dpkg -V)"

step "removing the package"
before_rates=$(md5sum < "$rates"); before_settings=$(md5sum < "$settings")
dpkg -r tallix >/dev/null
[ ! -e /usr/bin/tallix ] || fail "tallix still installed"
[ "$(md5sum < "$rates")" = "$before_rates" ] || fail "rates changed by the removal"
[ "$(md5sum < "$settings")" = "$before_settings" ] || fail "settings changed by the removal"
echo "the user's rates and settings stay"

step "reinstalling"
install_package
converted=$(as_user tallix --convert 100 EUR USD 2>&1 >/dev/null; as_user tallix --convert 100 EUR USD 2>/dev/null)
echo "$converted"
[ "$(echo "$converted" | tail -n 1)" = "123.45" ] || fail "the reinstalled program did not find the user's rates"
as_user tallix --convert 1 EUR USD 2>&1 >/dev/null | grep -q "rates of 2026-12-07, downloaded on" \
  || fail "the reinstalled program did not find the download date in the user's settings"
echo "the reinstalled program finds the user's rates and the date of their download"
step "all checks passed"
