#!/usr/bin/env bash
# Installs what is missing, builds, starts the local reference service when it
# is not running yet, and starts the client against it.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build.sh dev
app=build/dev/app
if [ -x "$app/ChatRoomServer" ] && ! pgrep -f "$app/ChatRoomServer" >/dev/null; then
  mkdir -p build/dev/server-data
  "$app/ChatRoomServer" --data build/dev/server-data >build/dev/server-data/console.log 2>&1 &
  sleep 0.5
fi
export QTWEBENGINE_DISABLE_SANDBOX=1
exec "$app/ChatRoom"
