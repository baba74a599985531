#!/usr/bin/env bash
# The README's chat screenshot and the chat's end-to-end check: a service of
# its own on spare ports, a program folder pointing at it (with a phrase file
# holding an auto reply), and four runs of the program under virtual
# displays: A (室主小王) and B (蓝色会员) in room 1001, C (普通用户) in room
# 1002, and B again after a restart (B2). Each run leaves its panes' lines
# and a picture of its room window in OUT_DIR; A's picture is the README's.
#   Client/ClientUI/chat/tools/chat-shot.sh [BUILD_DIR] [OUT_DIR]
set -euo pipefail
cd "$(dirname "$0")/../../../.."
build=${1:-build/dev}
out=$(realpath -m "${2:-$build/chat-shot}")
# Ports nobody listens on (other services may hold the usual ones).
free_port() {
  python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}
hall=${CHAT_SHOT_HALL_PORT:-$(free_port)}
web=${CHAT_SHOT_WEB_PORT:-$(free_port)}
room=${CHAT_SHOT_ROOM_PORT:-$(free_port)}

cmake --build "$build" --target ChatRoom ChatRoomServer ChatRoomChatShot sealweb
work=$(mktemp -d)
server_pid=
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  if [ -n "${CHAT_SHOT_KEEP:-}" ]; then echo "kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

cp -r "$build/app" "$work/app"
cp "$build/app/ChatRoomChatShot" "$work/app/"
rm -rf "$work/app/Users" "$work/app/Reply.dat"
sed -i "s/^ServerPort=.*/ServerPort=$hall/" "$work/app/loginsl.dat"
sed "s/:7480/:$web/" Data/deploy/WebAddress.ini >"$work/web.ini"
"$build/tools/sealweb" "$work/web.ini" "$work/app/WebAddress.dat"
printf '[Auto]\n1=我现在不在，稍后回复你\\e105\n[ShortCut]\n1=大家好\\e112\n' |
  iconv -f UTF-8 -t GBK >"$work/app/Reply.dat"

mkdir -p "$work/server" "$out"
"$build/app/ChatRoomServer" --data "$work/server" --hall-port "$hall" --web-port "$web" \
  --room-port "$room" >"$work/server/console.log" 2>&1 &
server_pid=$!
for _ in $(seq 50); do
  curl -sf "http://127.0.0.1:$web/" >/dev/null && break
  sleep 0.2
done

# The program links the engine module; the copy it links must be the one
# the rooms load from the program folder.
export QTWEBENGINE_DISABLE_SANDBOX=1 ROOM_SHOT_ROOM_PORT=$room LD_LIBRARY_PATH=$work/app
start=$(($(date +%s%3N) + 45000))
run() {
  xvfb-run -a -s "-screen 0 1280x800x24" "$work/app/ChatRoomChatShot" "$1" "$start" "$out" \
    "$2" "$3" "$4" >"$out/$1.log" 2>&1
}
run A 10001 owner123 1001 &
a=$!
run C 10003 user123 1002 &
c=$!
sleep 2
run B 10002 vip123 1001
# B is restarted: its masking must still hold.
run B2 10002 vip123 1001 &
b2=$!
wait "$a" "$c" "$b2"
cp "$work/app/Users/10002/Config.dat" "$out/B-Config.dat" 2>/dev/null || true
ls "$out"
