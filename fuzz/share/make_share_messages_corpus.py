#!/usr/bin/env python3
# Writes the seed corpus of share_messages: a generation byte, then link frames.
import os
import struct
import sys

out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "../corpus/share_messages")
os.makedirs(out, exist_ok=True)


def frame(kind, body):
    return struct.pack("<IB", len(body) + 5, kind) + body


def ptp(code, payload):
    return frame(10, struct.pack("<IHHI", len(payload) + 12, 2, code, 7) + payload)


def control(op, payload):
    return frame(12, struct.pack("<IB", len(payload) + 5, op) + payload)


def response(op, payload):
    return frame(13, struct.pack("<IBH", len(payload) + 7, op, 0x2001) + payload)


def relay(code, payload, claimed=None):
    n = len(payload) if claimed is None else claimed
    return frame(15, struct.pack("<IBBI", len(payload) + 10, 161, code, n) + payload)


def record(oid, name, size=0, seq=0, fmt=0):
    r = bytearray(608)
    struct.pack_into("<IHHI", r, 0, oid, fmt, 0, size)
    struct.pack_into("<I", r, 52, seq)
    r[60:60 + len(name)] = name
    struct.pack_into("<H", r, 316, len(name))
    return bytes(r)


def jpeg(n):
    return b"\xff\xd8\xff\xdb" + b"\x11" * (n - 6) + b"\xff\xd9"


G2, G1 = b"\x02", b"\x01"
seeds = {
    "chunks_in_order": G2 + b"".join(relay(177, record(5, b"P.JPG", 30, 10 * i)) + ptp(0x101B, bytes([i]) * 10)
                                     for i in range(3)),
    "chunks_by_opcode_with_gap": G2 + relay(177, record(6, b"Q.JPG", 30, 0)) + response(65, b"a" * 10)
    + relay(177, record(6, b"Q.JPG", 30, 15)) + response(248, b"b" * 10),
    "relay_176_then_thumb_and_object": G2 + relay(176, record(7, b"IMG_7.JPG")) + ptp(0x100A, jpeg(40))
    + ptp(0x1009, jpeg(100)),
    "generation1_record": G1 + relay(176, record(8, b"DSC_8.NEF")[:584]) + control(177, jpeg(30)),
    "canon_thumb_with_orientation": G2 + ptp(0x910A, b"II*\x00\x08\x00\x00\x00\x01\x00"
                                             + b"\x12\x01\x03\x00\x01\x00\x00\x00\x06\x00\x00\x00" + b"\x00" * 6
                                             + jpeg(40)),
    "thumbnail_by_name": G2 + response(242, b"\x06" + jpeg(20)) + response(242, b"\x03") + response(242, b""),
    "watermark_and_save_flag": G2 + control(128, b"\x87\x00\x00\x00\x01\x02\x03" + b"Studio\x00".ljust(128, b"\x00"))
    + response(129, b"\x01"),
    "live_view_frames": G2 + response(136, jpeg(50)) + ptp(0x9203, b"\x00" * 64 + jpeg(1200))
    + ptp(0x9153, b"\x00" * 8 + jpeg(300) + b"\x00" * 3788),
    "card_file_names": G2 + relay(178, b"../../x.JPG\x00") + relay(178, b"bad\xff\x00") + relay(178, b"L" * 300),
    "lying_lengths": G2 + relay(176, record(9, b"L.JPG"), claimed=0x7FFFFFFF)
    + frame(10, struct.pack("<IHHI", 0x0FFFFFFF, 2, 0x1009, 7) + b"x" * 20)
    + frame(13, struct.pack("<IBH", 3, 65, 0)) + relay(177, record(9, b"L.JPG")[:600]),
    "oversize_claim": G2 + relay(177, record(10, b"H.JPG", 0xFFFFFFF0, 0)) + ptp(0x101B, b"z" * 64),
}
for name, data in seeds.items():
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)
