#!/bin/sh
# One command each for the two everyday jobs on a Debian 12 machine:
#   ./ebsp.sh run    install what is missing, build and start the program
#   ./ebsp.sh test   install what is missing, build and run every test
set -eu
cd "$(dirname "$0")"

case "${1:-}" in
  run)
    shift
    tools/install-deps.sh
    cmake --preset default
    cmake --build --preset default --target ebsp
    exec build/run-ebsp "$@"
    ;;
  test)
    tools/install-deps.sh
    exec cmake --workflow --preset default
    ;;
  *)
    echo "usage: $0 run | test" >&2
    exit 2
    ;;
esac
