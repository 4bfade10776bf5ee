#!/usr/bin/env python3
"""Writes the small seed corpus of exif_read into fuzz/corpus/exif_read/. Run from
anywhere; files are named after what they show."""
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "corpus", "exif_read")


def tiff(be=False, ifd0=(), exif=(), next_ifd=0, exif_pointer=True):
    """ifd0, exif: (tag, type, count, payload bytes). Payloads over 4 bytes go after the
    IFDs; IFD0 gets an ExifTag entry when there is an EXIF IFD."""
    e = ">" if be else "<"
    ifd0 = list(ifd0)
    n0 = len(ifd0) + (1 if exif and exif_pointer else 0)
    exif_at = 8 + 2 + 12 * n0 + 4
    if exif and exif_pointer:
        ifd0.append((34665, 4, 1, struct.pack(e + "I", exif_at)))
    data_at = exif_at + (2 + 12 * len(exif) + 4 if exif else 0)
    out = (b"MM\x00\x2a" if be else b"II\x2a\x00") + struct.pack(e + "I", 8)
    data = b""

    def ifd(entries, nxt):
        nonlocal out, data
        out += struct.pack(e + "H", len(entries))
        for tag, typ, count, payload in entries:
            out += struct.pack(e + "HHI", tag, typ, count)
            if len(payload) <= 4:
                out += payload.ljust(4, b"\0")
            else:
                out += struct.pack(e + "I", data_at + len(data))
                data += payload
        out += struct.pack(e + "I", nxt)

    ifd(ifd0, next_ifd)
    if exif:
        ifd(exif, 0)
    return out + data


def camera(make, be=False):
    e = ">" if be else "<"
    s = lambda v: struct.pack(e + "H", v)
    r = lambda n, d, fmt="II": struct.pack(e + fmt, n, d)
    a = lambda t: t.encode() + b"\0"
    ifd0 = [(271, 2, len(a(make)), a(make)), (272, 2, 8, a("Model X")), (274, 3, 1, s(6))]
    exif = [(33434, 5, 1, r(1, 125)), (33437, 5, 1, r(56, 10)), (34855, 3, 1, s(200)),
            (37380, 10, 1, r(-1, 3, "ii")), (37383, 3, 1, s(5)), (37384, 3, 1, s(0)),
            (37386, 5, 1, r(50, 1)), (41987, 3, 1, s(0)), (40962, 4, 1, struct.pack(e + "I", 6000)),
            (36867, 2, 20, a("2024:01:02 03:04:05"))]
    return tiff(be, ifd0, exif)


def jpeg(t, w=640, h=480):
    app1 = b"Exif\0\0" + t
    sof = bytes.fromhex("FFC00011 08") + struct.pack(">HH", h, w) + bytes.fromhex("03012200021101031101")
    return b"\xff\xd8\xff\xe1" + struct.pack(">H", len(app1) + 2) + app1 + sof + b"\xff\xd9"


def box(kind, body):
    return struct.pack(">I", 8 + len(body)) + kind + body


def cr3_decoy_in_first_box():
    """A header inside the first metadata box whose 39-entry directory runs into the next
    box, before the box that holds the EXIF IFD."""
    first = tiff(False, [(271, 2, 6, b"Canon\0"), (274, 3, 1, b"\x01\0")])
    decoy = b"II\x2a\x00" + struct.pack("<IH", 8, 39) + struct.pack("<HHII", 33437, 3, 1, 41486)
    exif = tiff(False, [(33434, 5, 1, struct.pack("<II", 1, 4)), (33437, 5, 1, struct.pack("<II", 25, 1)),
                        (34855, 3, 1, b"\x64\0"), (37386, 5, 1, struct.pack("<II", 200, 1)), (37383, 3, 1, b"\x05\0")])
    boxes = box(b"CMT1", first + b"\0" * 6 + decoy) + box(b"CMT2", exif)
    return box(b"ftyp", b"crx \0\0\0\1crx isom") + box(b"moov", box(b"uuid", b"\x85" * 16 + boxes))


def main():
    os.makedirs(OUT, exist_ok=True)
    cam = camera("Canon")
    files = {
        "tiff_le_camera": cam,
        "tiff_be_camera": camera("NIKON CORPORATION", True),
        "jpeg_le_sony": jpeg(camera("SONY")),
        "jpeg_be_nikon": jpeg(camera("NIKON", True)),
        "junk_lead_then_tiff": b"\x20" * 40 + camera("SONY"),
        "tiff_truncated_in_exif_ifd": cam[: len(cam) - 60],
        "ifd_loops_to_itself": tiff(False, [(271, 2, 6, b"Nikon\0"), (34665, 4, 1, struct.pack("<I", 8))], next_ifd=8),
        "ifd_count_claims_65535": cam[:8] + b"\xff\xff" + cam[10:],
        "exif_pointer_past_end": tiff(False, [(271, 2, 6, b"Canon\0"), (34665, 4, 1, struct.pack("<I", 0x7FFFFFF0))]),
        "three_headers_cr3_like": b"\0" * 16 + tiff(False, [(271, 2, 6, b"Canon\0")]) + b"\0" * 4
        + tiff(False, [(33434, 5, 1, struct.pack("<II", 1, 30))]) + tiff(False, [(33434, 5, 1, struct.pack("<II", 1, 400))]),
        "raf_with_jpeg": b"FUJIFILMCCD-RAW " + b"\0" * 144 + jpeg(camera("FUJIFILM")) + b"\x11" * 32,
        "sparse_head_full_tail": jpeg(tiff(False, [(271, 2, 6, b"Canon\0")], [(37383, 3, 1, b"\x02\0")]))
        + b"\0" * 8 + jpeg(camera("Canon")),
        "cr3_decoy_in_first_box": cr3_decoy_in_first_box(),
        "canon_wb_marker": (jpeg(camera("Canon")) + b"\0" * 1200)[:700] + b"\x00\x44\x00\x00\x00" + b"\0" * 10 + b"\x06" + b"\0" * 100,
    }
    for name, data in files.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
