#!/usr/bin/env bash
# Installs what is missing, builds Quovel in Release and starts it.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "Quovel needs a graphical display (DISPLAY or WAYLAND_DISPLAY is not set); for checks without one, use quovel-check." >&2
    exit 1
fi
# A local X display (":N") that has no socket is not running: say so instead of letting Qt abort.
if [ -z "${WAYLAND_DISPLAY:-}" ] && [[ "${DISPLAY:-}" =~ ^:([0-9]+) ]] && [ ! -S "/tmp/.X11-unix/X${BASH_REMATCH[1]}" ]; then
    echo "Quovel cannot reach the display $DISPLAY (no X server is listening there)." >&2
    exit 1
fi

quovel_install_missing
# The programs only, in a folder of their own: tests and benchmarks are ./test.sh's.
quovel_build build-run Release -DQUOVEL_BUILD_TESTS=OFF -DQUOVEL_BUILD_BENCH=OFF
exec ./build-run/src/app/quovel "$@"
