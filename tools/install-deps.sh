#!/bin/sh
# Installs the Debian 12 packages the build, the tests and the screenshots need.
# Does nothing when all are installed already; otherwise runs apt-get, through
# sudo when not run as root.
set -eu

PACKAGES="build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev clang-14 libclang-rt-14-dev libgl-dev
  qt6-base-dev qt6-tools-dev qt6-svg-dev qt6-image-formats-plugins libqt6opengl6-dev libxkbcommon-dev fonts-dejavu-core
  gemmi-dev libstb-dev tao-pegtl-dev
  python3 python3-numpy python3-venv python3-pip python3-setuptools
  xvfb xauth imagemagick x11-apps"

if ! command -v dpkg-query >/dev/null 2>&1; then
  echo "install-deps: no dpkg here; install the equivalents of these packages yourself:" >&2
  echo "$PACKAGES" >&2
  exit 0
fi

missing=""
for p in $PACKAGES; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = installed ] || missing="$missing $p"
done
if [ -z "$missing" ]; then
  echo "install-deps: all packages are installed"
  exit 0
fi

echo "install-deps: installing$missing"
if [ "$(id -u)" = 0 ]; then
  as_root=""
elif command -v sudo >/dev/null 2>&1; then
  as_root="sudo"
else
  echo "install-deps: missing packages and no sudo; run this script as root" >&2
  exit 1
fi
# shellcheck disable=SC2086
$as_root env DEBIAN_FRONTEND=noninteractive apt-get update
# shellcheck disable=SC2086
$as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
