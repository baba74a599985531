#!/usr/bin/env bash
# The README's room screenshot. Starts a service of its own on spare ports
# (other services may be running on the usual ones), makes a program folder
# that points at it, registers a few accounts that enter the room as other
# clients would, and runs ChatRoomRoomShot under a virtual display.
#   Client/ClientUI/room/tools/room-shot.sh [BUILD_DIR] [OUT.png]
set -euo pipefail
cd "$(dirname "$0")/../../../.."
build=${1:-build/dev}
out=${2:-docs/room.png}
hall=${ROOM_SHOT_HALL_PORT:-7600}
web=${ROOM_SHOT_WEB_PORT:-7680}
room=${ROOM_SHOT_ROOM_PORT:-7610}

cmake --build "$build" --target ChatRoom ChatRoomServer ChatRoomRoomShot sealweb
work=$(mktemp -d)
server_pid=
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  if [ -n "${ROOM_SHOT_KEEP:-}" ]; then echo "kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

cp -r "$build/app" "$work/app"
cp "$build/app/ChatRoomRoomShot" "$work/app/"
sed -i "s/^ServerPort=.*/ServerPort=$hall/" "$work/app/loginsl.dat"
sed "s/:7480/:$web/" Data/deploy/WebAddress.ini >"$work/web.ini"
"$build/tools/sealweb" "$work/web.ini" "$work/app/WebAddress.dat"

mkdir -p "$work/server"
"$build/app/ChatRoomServer" --data "$work/server" --hall-port "$hall" --web-port "$web" \
  --room-port "$room" >"$work/server/console.log" 2>&1 &
server_pid=$!
for _ in $(seq 50); do
  curl -sf "http://127.0.0.1:$web/" >/dev/null && break
  sleep 0.2
done

# Accounts for the other clients: number:password pairs from the page that
# confirms each registration.
visitors=()
nicks=(小雨 阿杰 晴天 老张 木木 星辰 可乐 大鹏)
for i in "${!nicks[@]}"; do
  page=$(curl -sf --data-urlencode "name=guest$i$$" --data-urlencode "nickname=${nicks[$i]}" \
    --data-urlencode "password=pass$i$i$i" --data-urlencode "password2=pass$i$i$i" \
    "http://127.0.0.1:$web/register?kind=0&promotion=0" || true)
  number=$(grep -o '[0-9]\{5,\}' <<<"$page" | head -1 || true)
  [ -n "$number" ] && visitors+=("$number:pass$i$i$i")
done
visitors+=("10002:vip123" "10006:patrol123" "10003:user123")

mkdir -p "$(dirname "$out")"
# The program links the engine module; the copy beside it is the one to use.
export LD_LIBRARY_PATH="$work/app${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
export QTWEBENGINE_DISABLE_SANDBOX=1 ROOM_SHOT_ROOM_PORT=$room
xvfb-run -a -s "-screen 0 1280x800x24" "$work/app/ChatRoomRoomShot" "$(realpath -m "$out")" \
  10001 owner123 "${visitors[@]}"
