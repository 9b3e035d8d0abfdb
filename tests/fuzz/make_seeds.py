#!/usr/bin/env python3
"""Writes the seed inputs of fuzz_readers into seeds/.

An input is one byte that chooses the reader (0 Shift-JIS lines, 1 icon file,
2 melody file, 3 flowchart file, 4 text file, 5 the virtual kit's socket
messages) followed by what that reader gets. Program files come from the
shipped demos; the rest is written here. The files are committed; run this
again after changing a seed.
"""
import glob
import os
import struct

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "seeds")


def crlf(lines):
    return "".join(line + "\r\n" for line in lines).encode("shift_jis")


def message(kind, payload):
    return bytes([ord(kind)]) + struct.pack(">H", len(payload)) + payload


def hello():
    product = "ORBA".encode()
    body = b"KORU" + bytes([1]) + struct.pack(">HHHH", 0, 0, 2, 2)
    body += struct.pack(">H", len(product)) + product + struct.pack(">H", 0)
    return message("H", body)


seeds = {}
for path in sorted(glob.glob(os.path.join(TOP, "assets/Data/Demo/dd/*.koru"))):
    seeds["icon_" + os.path.basename(path)[:5]] = b"\x01" + open(path, "rb").read()
for path in sorted(glob.glob(os.path.join(TOP, "assets/Data/Demo/fro/*.koru"))):
    seeds["flow_" + os.path.basename(path)[:5]] = b"\x03" + open(path, "rb").read()
seeds["lines"] = b"\x00" + crlf(["OK", "START", "5,0,3,0,0,0,0", "END", "コメント"])
seeds["melody"] = b"\x02" + crlf(
    ["SOUND", "SPEED", "2"] + ["0"] * 13 + ["1", "12,0", "14,1", "148,2", "16,3"])
seeds["text"] = b"\x04" + crlf(
    ["OK", "START", "5,0,3,0,0,0,0", "END", "WORDDATA", "timer(3); // 三秒まつ"])
seeds["socket"] = b"\x05" + hello() + message("O", bytes([0, 240])) + message("I", bytes([0, 255]))

os.makedirs(OUT, exist_ok=True)
for name, data in seeds.items():
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)
