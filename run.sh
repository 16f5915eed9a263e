#!/usr/bin/env bash
# Installs what is missing, builds Quovel in Release and starts it.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "Quovel needs a graphical display (DISPLAY or WAYLAND_DISPLAY is not set); for checks without one, use quovel-check." >&2
    exit 1
fi

quovel_install_missing
quovel_build build Release
exec ./build/src/app/quovel "$@"
