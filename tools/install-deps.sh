#!/bin/sh
# Installs the Debian 12 packages the build, the tests and the screenshots need.
# Run as root (or with sudo).
set -e
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends \
  build-essential cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev \
  clang-14 libclang-rt-14-dev libgl-dev \
  qt6-base-dev qt6-tools-dev libqt6opengl6-dev libxkbcommon-dev fonts-dejavu-core \
  gemmi-dev libstb-dev tao-pegtl-dev \
  python3 python3-numpy python3-venv python3-pip python3-setuptools \
  xvfb xauth imagemagick x11-apps
