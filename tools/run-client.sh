#!/usr/bin/env bash
# Installs what is missing, builds, starts the local reference service when it
# is not running yet, and starts the client against it.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
# The same optimised build the test command uses, so the two share one tree.
tools/build.sh ci
app="$PWD/build/ci/app"
data="$PWD/build/server-data"
if ! pgrep -f "$app/ChatRoomServer" >/dev/null; then
  mkdir -p "$data"
  "$app/ChatRoomServer" --data "$data" >>"$data/console.log" 2>&1 &
  # Wait until the hall port answers (first start seeds the database).
  for _ in $(seq 50); do
    (exec 3<>/dev/tcp/127.0.0.1/7400) 2>/dev/null && break
    sleep 0.1
  done
fi
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
exec "$app/ChatRoom"
