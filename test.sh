#!/usr/bin/env bash
# Installs what is missing, builds Quovel and runs every test through CTest, headless.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh

quovel_install_missing
quovel_build build-tests RelWithDebInfo
export QT_QPA_PLATFORM=offscreen
cd build-tests
ctest --output-on-failure -j2
