#!/usr/bin/env bash
# Installs the Debian packages Tallix needs to build and run; with --test also
# the test tools (GoogleTest, clang's libFuzzer, Xvfb, the benchmark peer) and
# the locales the regional-format tests use. Quiet and quick when all is there.
# Messages go to standard error.
set -euo pipefail

PACKAGES=(
  # build
  cmake ninja-build g++ pkg-config
  # windows, single instance; the window on Wayland desktops
  qt6-base-dev libgl-dev qt6-wayland
  # rates download, and reading the reference-rate XML
  libcurl4-openssl-dev libxml2-dev
  # skin images
  libpng-dev zlib1g-dev libjpeg62-turbo-dev libtiff-dev libopenjp2-7-dev libgif-dev libwmf-dev
  # click sound
  libasound2-dev
  # terminal line editing
  libedit-dev
  # fonts
  fonts-dejavu-core
  # the window on Wayland desktops
  qt6-wayland
)
TEST_PACKAGES=(
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev python3
  # line coverage
  gcovr
  # fuzzing (clang's libFuzzer with sanitizers)
  clang libclang-rt-14-dev
  # benchmark peer
  libmuparser-dev
  # locales, headless display for UI checks, with a window manager and a tray
  locales xvfb xauth xdotool x11-utils openbox trayer
  # screen-reader checks: the accessibility bus, its Python client, Orca
  at-spi2-core python3-pyatspi dbus-x11 orca
  # a private session bus with a stand-in settings portal; a headless Wayland compositor
  dbus weston
)

# Making and checking the Debian package (scripts/package.sh, scripts/install-check.sh).
PACKAGE_PACKAGES=(
  dpkg-dev file lintian desktop-file-utils appstream man-db python3
)

with_tests=0
case "${1:-}" in
  --test) with_tests=1 ;;
  --package) PACKAGES+=("${PACKAGE_PACKAGES[@]}") ;;
  "") ;;
  *) echo "usage: scripts/setup.sh [--test|--package]" >&2; exit 2 ;;
esac
if [ $with_tests -eq 1 ]; then PACKAGES+=("${TEST_PACKAGES[@]}"); fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  if ! $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null; then
    $SUDO apt-get update -q >/dev/null
    $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
  fi
fi

if [ $with_tests -eq 0 ]; then exit 0; fi

# Locales for the regional-format tests, and Turkish, whose dotless i tests
# that names compare by ASCII letters whatever the locale.
need_locale=0
for loc in en_US.UTF-8 de_DE.UTF-8 tr_TR.UTF-8; do
  if ! locale -a 2>/dev/null | grep -qi "^${loc%%.*}\.utf-\?8$"; then need_locale=1; fi
done
if [ $need_locale -eq 1 ]; then
  for loc in "en_US.UTF-8 UTF-8" "de_DE.UTF-8 UTF-8" "tr_TR.UTF-8 UTF-8"; do
    grep -q "^${loc}" /etc/locale.gen 2>/dev/null || echo "$loc" | $SUDO tee -a /etc/locale.gen >/dev/null
  done
  $SUDO locale-gen >/dev/null
fi
