#!/usr/bin/env python3
"""Writes the small seed corpora of jpeg_length, raw_preview, embedded_jpeg and
cache_records into fuzz/corpus/. Run from anywhere; files are named after what they show."""
import os
import struct

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "corpus")

# A tiny JPEG: SOI, a 2-byte DQT segment, SOS with scan bytes, EOI.
JPEG = bytes.fromhex("FFD8FFDB000400FFDA0002112233FFD9")


def nested_jpeg():
    inner = JPEG
    return bytes.fromhex("FFD8FFE000060102FFDB000400FFDA0002") + b"\x10" + inner + b"\x20\x30FFD9".replace(b"FFD9", b"\xff\xd9") + b"junk"


def tiff(be, entries, blobs, header_at=0, lead=b""):
    """entries: (tag, type, count, value or blob name); blobs: name -> bytes placed after
    the IFD. Offsets are relative to the TIFF header at len(lead)."""
    e = ">" if be else "<"
    head = (b"MM\x00\x2a" if be else b"II\x2a\x00") + struct.pack(e + "I", 8)
    ifd_len = 2 + 12 * len(entries) + 4
    where, pos, data = {}, 8 + ifd_len, b""
    for name, blob in blobs.items():
        where[name] = pos + len(data)
        data += blob
    ifd = struct.pack(e + "H", len(entries))
    for tag, typ, count, value in entries:
        v = where[value] if isinstance(value, str) else value
        if typ == 3:
            ifd += struct.pack(e + "HHIHH", tag, typ, count, v, 0)
        else:
            ifd += struct.pack(e + "HHII", tag, typ, count, v)
    ifd += struct.pack(e + "I", 0)
    return lead + head + ifd + data


def raw_with_preview(be, model=b"NIKON D850\x00", pairs=1, cr2=False, length_fix=None):
    blobs = {"model": model}
    entries = [(0x0110, 2, len(model), "model"), (0x0112, 3, 1, 6)]
    for i in range(pairs):
        j = JPEG[:-2] + bytes([i]) + b"\xff\xd9"
        blobs["j%d" % i] = j
        if cr2:
            entries += [(0x0111, 4, 1, "j%d" % i), (0x0117, 4, 1, len(j))]
        else:
            entries += [(0x0201, 4, 1, "j%d" % i), (0x0202, 4, 1, length_fix or len(j))]
    return tiff(be, entries, blobs)


def record(name, size=608, date=1700000000, handle=7):
    r = bytearray(608)
    struct.pack_into("<IH", r, 0, handle, 0x3801)
    n = name[:256]
    r[60:60 + len(n)] = n
    struct.pack_into("<H", r, 316, min(len(name), 255))
    struct.pack_into("<Q", r, 320, date)
    r[596] = 6
    return bytes(r[:size]) if size <= 608 else bytes(r) + b"\x00" * (size - 608)


def write(target, name, data):
    folder = os.path.join(ROOT, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def main():
    write("jpeg_length", "tiny", JPEG)
    write("jpeg_length", "soi_eoi_only", b"\xff\xd8\xff\xd9")
    write("jpeg_length", "nested_jpeg_in_scan", nested_jpeg())
    write("jpeg_length", "scan_never_closed", bytes.fromhex("FFD8FFDA0002AABBFFC40003CCFFDA0002FFD0"))
    write("jpeg_length", "segment_past_end", bytes.fromhex("FFD8FFE1FFFF0000"))
    write("jpeg_length", "many_scans", b"\xff\xd8" + b"\xff\xda" * 40 + b"\xff\xd9")

    ii = raw_with_preview(False)
    mm = raw_with_preview(True)
    write("raw_preview", "ii_raw_preview", ii)
    write("raw_preview", "mm_raw_preview", mm)
    write("raw_preview", "preview_past_end", raw_with_preview(False, length_fix=5000))
    write("raw_preview", "preview_cut_off_zero_fill",
          tiff(False, [(0x0112, 3, 1, 1), (0x0201, 4, 1, "j"), (0x0202, 4, 1, 48)], {"j": JPEG[:10] + b"\0" * 38}))
    exif = tiff(False, [(0x0112, 3, 1, 1), (0x0201, 4, 1, 4000), (0x0202, 4, 1, 16)], {})
    write("raw_preview", "jpeg_with_offsets_elsewhere",
          b"\xff\xd8\xff\xe1" + struct.pack(">H", len(exif) + 8) + b"Exif\x00\x00" + exif + JPEG[2:])
    live = bytearray(1100)
    live[100:100 + len(JPEG)] = JPEG
    live[103] = 0xC4
    write("raw_preview", "live_view_1100", bytes(live))

    write("embedded_jpeg", "nef_second_pair", b"\x00" + raw_with_preview(False, pairs=3))
    write("embedded_jpeg", "nef_z8_third_pair", b"\x00" + raw_with_preview(False, b"NIKON Z 8\x00", pairs=3))
    write("embedded_jpeg", "arw_mm", b"\x01" + raw_with_preview(True, b"ILCE-7M4\x00"))
    write("embedded_jpeg", "cr2_strips", b"\x02" + raw_with_preview(False, b"Canon EOS R\x00", cr2=True))
    write("embedded_jpeg", "nef_preview_past_end", b"\x00" + raw_with_preview(False, pairs=2, length_fix=99999))
    # Declared ranges longer than their JPEG: whole then zero fill, and cut off after SOI.
    zero_filled = tiff(True, [(0x0201, 4, 1, "j"), (0x0202, 4, 1, 48)], {"j": JPEG + b"\0" * 32})
    cut_off = tiff(True, [(0x0201, 4, 1, "j"), (0x0202, 4, 1, 48)], {"j": JPEG[:10] + b"\0" * 38})
    write("embedded_jpeg", "arw_preview_then_zero_fill", b"\x01" + zero_filled)
    write("embedded_jpeg", "arw_preview_cut_off", b"\x01" + cut_off)

    write("cache_records", "plain_name", record(b"IMG_0001.JPG"))
    write("cache_records", "dot_dot_slash", record(b"../x"))
    write("cache_records", "slash_inside", record(b"a/b"))
    write("cache_records", "dot_dot", record(b".."))
    write("cache_records", "empty_name", record(b""))
    write("cache_records", "long_name_no_nul", record(b"x" * 300))
    write("cache_records", "temp_like_name", record(b".kvtmp.abcdef", handle=0xFFFFFFFF))
    write("cache_records", "truncated", record(b"IMG_0002.JPG", size=100))
    write("cache_records", "one_byte_long", record(b"IMG_0003.JPG", size=609))


if __name__ == "__main__":
    main()
