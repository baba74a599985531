#!/usr/bin/env python3
"""Writes the seed inputs of the two room decoder fuzz targets."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def s(text):
    b = text.encode("gbk")
    return struct.pack("<H", len(b)) + b + b"\0"


def rec(code, body=b""):
    return struct.pack("<H", code) + body


def frame(record):
    return struct.pack("<I", len(record)) + record


enter = rec(101, struct.pack("<Hii", 1, 1001, 10003) + s("888") + s("0" * 32)
            + struct.pack("<HBi", 10086, 0, 0))
chat = rec(120, struct.pack("<i", 0) + s("大家") + b"\0\0"
           + s('<FONT STYLE="font:10pt">hi \\e101</FONT>'))
evil = rec(120, struct.pack("<i", 5) + s("x") + b"\1\0"
           + s('<FONT STYLE="a"><script>x</script></FONT><img src=x>'))
blob = rec(143, bytes(136) + b"\1" + bytes(2004) + b"\0")

service = {
    "enter.bin": frame(enter),
    "enter_chat.bin": frame(enter) + frame(chat),
    "evil_body.bin": frame(evil),
    "room_info.bin": frame(blob),
    "horn.bin": frame(rec(123, s("<font style=\"x\">horn</font>") + b"\1")),
    "punish.bin": frame(rec(141, b"\1" + struct.pack("<i", 10002))),
    "truncated.bin": frame(enter)[:-3],
    "bad_flag.bin": frame(rec(120, struct.pack("<i", 0) + s("") + b"\2\0" + s("x"))),
    "oversized.bin": struct.pack("<I", 0x7FFFFFFF) + b"xx",
    "unknown.bin": frame(rec(12345)),
}

party = lambda i, n: struct.pack("<i", i) + s(n) + struct.pack("<HHi", 1, 1010, 1017)
module = {
    "chat_line.bin": frame(rec(220, party(10002, "<b>vip</b>") + party(0, "")
                                + b"\0\0" + s("\\e105 hello"))),
    "whisper.bin": frame(rec(220, party(1, "a") + party(2, 'b"c') + b"\1\1" + s("x"))),
    "user_enter.bin": frame(rec(210, struct.pack("<i", 7) + s("nick") + struct.pack("<hHHHh", 1, 30, 1050, 0, 1)
                                 + b"\0\1\0" + struct.pack("<i", 0) + b"\1")),
    "greeting.bin": frame(rec(229, s('hello{style}color:red"><script>'))),
    "consent.bin": frame(rec(234, struct.pack("<i", 9) + s("<i>x") + struct.pack("<H", 1010))),
    "horn.bin": frame(rec(222, struct.pack("<i", 1) + s("n") + struct.pack("<i", 1001) + b"\1" + s("h"))),
    "notice_bad_length.bin": frame(rec(221, struct.pack("<H", 0x7F) + b"abc\0\0")),
}

for folder, seeds in (("corpus-service", service), ("corpus-module", module)):
    os.makedirs(os.path.join(HERE, folder), exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(HERE, folder, name), "wb") as f:
            f.write(data)
