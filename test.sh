#!/usr/bin/env bash
# Installs what is missing, builds Quovel and runs every test through CTest, headless.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh

# The desktop's own validators check the installed menu entry, metainfo and file type; a private
# message bus carries the notification test.
quovel_install_missing desktop-file-utils appstream shared-mime-info dbus-daemon
quovel_build build-tests RelWithDebInfo
export QT_QPA_PLATFORM=offscreen
cd build-tests
ctest --output-on-failure -j2
