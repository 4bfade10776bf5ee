#!/usr/bin/env python3
"""Writes the small seed corpora of the vendor targets (canon_liveview_frame,
canon_yuv_frame, canon_thumb, vendor_raw_previews, sony_liveview_frame, nikon_events,
nikon_property_blob, canon_object_list) into fuzz/corpus/. Files are named after what they show."""
import os
import struct

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "corpus")


def u32(v):
    return struct.pack("<I", v & 0xFFFFFFFF)


def jpeg(n):
    """FF D8 FF DB, filler without FF, FF D9: n bytes."""
    return b"\xff\xd8\xff\xdb" + b"\x11" * (n - 6) + b"\xff\xd9"


MINI = bytes.fromhex("FFD8FFDB00040102FFDA0002112233FFD9")
MINI_APP1 = bytes.fromhex("FFD8FFE100040102FFDA0002112233FFD9")


def block(kind, *words):
    return u32(8 + 4 * len(words)) + u32(kind) + b"".join(u32(w) for w in words)


def af_block(count, entries, extra=b""):
    body = b"".join(u32(0x11 + i % 2) + u32(0) + u32(100 + i) + u32(200 + i) + u32(30 + i) + u32(40 + i)
                    for i in range(entries))
    return u32(12 + len(body) + len(extra)) + u32(8) + u32(count) + body + extra


def reply(lead, image, blocks, total=4096):
    r = b"\x00" * lead + image + b"".join(blocks)
    return r + b"\x00" * max(0, total - len(r))


def yuv(h, header_len, width, height, pairs, total=256, first=None):
    data = (h + header_len) % 256
    size = max(total, h + 20, data + len(pairs))
    f = bytearray(size)
    f[h] = header_len
    f[h + 12:h + 16] = u32(width)
    f[h + 16:h + 20] = u32(height)
    f[data:data + len(pairs)] = pairs
    if first is not None:
        f[0] = first
    return bytes(f)


def write(target, name, data):
    d = os.path.join(ROOT, target)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)


def liveview():
    t = "canon_liveview_frame"
    write(t, "jpeg_4000_no_blocks", reply(8, jpeg(3992), [], 0))
    write(t, "short_3999", reply(8, jpeg(3991), [], 0))
    write(t, "every_block_type", reply(16, jpeg(500), [
        block(4, 5), block(5, 1200, 800), block(6, 9), block(8, 0), block(10, 7, 0xFFFFFFFE),
        block(13, 0, 0, 1100, 700), block(14, 6000, 4000), block(15, 1, 2, 3, 4),
        block(16, 0, 1, 4550), block(18, 0, 0, 5900, 3900), block(99, 1)]))
    write(t, "af_200_entries", reply(0, jpeg(100), [af_block(200, 200)], 8000))
    write(t, "af_partial_entry", reply(0, jpeg(100), [af_block(5, 3, b"\x22" * 12)]))
    write(t, "block_ends_at_reply_end", reply(0, jpeg(4000), [block(4, 3)], 0))
    write(t, "block_length_below_head", reply(0, jpeg(100), [u32(4) + u32(4), block(4, 9)]))
    write(t, "block_length_wraps", reply(0, jpeg(100), [u32(0xFFFFFFF8) + u32(4)]))
    early = bytearray(reply(40, jpeg(300)[:-2] + b"\x11\x11", []))
    early[10:12] = b"\xff\xd9"
    write(t, "end_marker_before_start", bytes(early))
    fill = bytearray(reply(4, jpeg(300), [block(4, 2)]))
    fill[-20:-16] = b"\xff\xff\xff\xd9"
    write(t, "fill_after_end", bytes(fill))
    write(t, "yuv_40x30", yuv(0, 64, 40, 30, b"\x80" * 2400, 4000))
    write(t, "yuv_size_past_end", yuv(0, 64, 400, 300, b"\x80" * 2400, 4000))
    write(t, "yuv_header_at_first_byte", yuv(200, 100, 40, 30, b"\x40" * 2400, 4000, first=200))


def yuv_frames():
    t = "canon_yuv_frame"
    pairs = bytes([0, 100, 0, 200, 0, 100, 50, 0, 30, 50, 0xEC, 255, 0x9C, 10, 99, 250])
    write(t, "yuv_4x2", yuv(0, 32, 4, 2, pairs))
    write(t, "yuv_header_at_200", yuv(200, 100, 2, 1, b"\x00\x5a\x00\x5b", first=200))
    write(t, "yuv_425_rows_model_225", yuv(0, 20, 2, 1, b"\x00" * 1700))
    write(t, "yuv_odd_width", yuv(0, 32, 3, 2, pairs))
    write(t, "yuv_size_overflows", yuv(0, 32, 0x80000000, 0x80000000, pairs))
    write(t, "yuv_1028_bytes", yuv(0, 4, 32, 16, bytes(range(256)) * 4, 1028))
    write(t, "yuv_3999_bytes", yuv(0, 7, 50, 39, b"\x55" * 3900, 3999))


def thumbs():
    t = "canon_thumb"
    head = b"II\x2a\x00\x08\x00\x00\x00\x01\x00"
    entry = b"\x12\x01\x03\x00\x01\x00\x00\x00\x06\x00\x00\x00"
    write(t, "with_orientation", head + entry + b"\x00" * 6 + jpeg(40))
    write(t, "without_orientation_entry", head + b"\x00" * 6 + jpeg(40))
    write(t, "orientation_byte_past_end", bytes.fromhex("001201FFD8FFDB0000"))
    write(t, "start_in_last_bytes", bytes.fromhex("00FFD8FFDB"))


def raws():
    t = "vendor_raw_previews"
    cr2 = bytearray(100)
    cr2[0:12] = b"II\x2a\x00\x10\x00\x00\x00CR\x02\x00"
    cr2[16] = 2
    cr2[18:30] = bytes.fromhex("000103000100000040060000")
    cr2[30:38] = bytes.fromhex("1101040001000000")
    cr2[38:42] = u32(100)
    write(t, "cr2_skeleton", bytes(cr2) + MINI + b"\x00" * 20)
    past = bytearray(cr2)
    past[38:42] = u32(5000)
    write(t, "cr2_offset_past_end", bytes(past) + MINI)

    def cr3(length8, length12, offset, size):
        d = bytearray(size)
        d[10:14] = b"JPEG"
        d[30:34] = b"stsz"
        d[60:64] = b"free"
        d[52:56] = struct.pack(">I", length8)
        d[48:52] = struct.pack(">I", length12)
        d[80:84] = b"co64"
        d[96:100] = struct.pack(">I", offset)
        return bytes(d)
    write(t, "cr3_skeleton_small_length_word", cr3(50, 40, 200, 400))
    write(t, "cr3_length_past_end", cr3(50, 400, 200, 400))
    write(t, "cr3_packed_boxes", b"JPEGstszfreeco64" + b"\x00" * 48)
    write(t, "raf_app1_preview", b"FUJIFILMCCD-RAW " + b"\x20" * 144 + MINI_APP1 + b"\x00" * 16)
    write(t, "raf_unterminated", b"FUJIFILMCCD-RAW " + b"\x20" * 144 + MINI_APP1[:13])


def sony():
    t = "sony_liveview_frame"
    f = bytearray(1200)
    f[1093:1101] = bytes([0x20, 1, 0x21, 1, 0x22, 1, 0x23, 1])
    f[581:589] = bytes([0x10, 1, 0x11, 1, 0x12, 1, 0x13, 1])
    f[1110:1114] = b"\xff\xd8\xff\xdb"
    write(t, "focus_fields_and_jpeg", bytes(f))
    write(t, "no_jpeg_1100_bytes", b"\x00" * 1100)


def u16(v):
    return struct.pack("<H", v & 0xFFFF)


def nikon_events():
    t = "nikon_events"
    # CheckEvent: u16 count, (u16 code, u32 parameter) each.
    def check(events):
        return u16(len(events)) + b"".join(u16(c) + u32(p) for c, p in events)

    # GetEventEx: u32 count, (u16 code, u16 n, n u32 parameters) each.
    def ex(events):
        return u32(len(events)) + b"".join(u16(c) + u16(len(ps)) + b"".join(u32(p) for p in ps) for c, ps in events)

    write(t, "check_two", check([(0x4006, 0x5004), (0x4007, 0x1234)]))
    write(t, "check_count_claims_more", u16(40) + u16(0x4003) + u32(7))
    write(t, "check_object_added", check([(0x4002, 0x10000001), (0x4003, 0x10000001)]))
    write(t, "ex_two", ex([(0x4006, [0x500E]), (0x4007, [0x1234])]))
    write(t, "ex_multi_param", ex([(0x4006, [0xD01E, 9, 9]), (0x4003, [5])]))
    write(t, "ex_zero_params", ex([(0x4007, []), (0x4006, [0xD061])]))
    write(t, "ex_count_huge", u32(0xFFFFFFFF) + u16(0x4006) + u16(0x4000) + u32(0x5010))


def desc_u16_enum(code, current, values, getset=1):
    return (u16(code) + u16(4) + bytes([getset]) + u16(values[0]) + u16(current) + b"\x02" +
            u16(len(values)) + b"".join(u16(v) for v in values))


def desc_u8_range(code, current, lo, hi, step):
    return u16(code) + u16(2) + b"\x01" + bytes([lo, current, 1, lo, hi, step])


def desc_str(code, text):
    units = (text + "\0").encode("utf-16-le")
    s = bytes([len(text) + 1]) + units
    return u16(code) + u16(0xFFFF) + b"\x01" + s + s + b"\x00"


def nikon_property_blob():
    t = "nikon_property_blob"

    def blob(descs):
        return b"".join(u32(len(d)) + d for d in descs)

    good = [desc_u16_enum(0x5004, 2, [0, 1, 2, 4]), desc_u8_range(0xD0B6, 0, 0, 2, 1),
            desc_u16_enum(0x500E, 1, [1, 2, 3, 4, 0x8010]), desc_u8_range(0xD1A0, 0, 0, 4, 1),
            desc_str(0x5011, "20260101T000000")]
    write(t, "five_records", blob(good))
    write(t, "length_past_end", u32(4000) + good[0])
    write(t, "bad_descriptor_then_good", blob([u16(0x5010) + u16(4) + b"\x01", good[2]]))
    write(t, "enum_count_claims_more", blob([u16(0x500F) + u16(6) + b"\x01" + u32(100) + u32(100) + b"\x02" +
                                              u16(0xFFFF) + u32(100)]))


def canon_object_list():
    t = "canon_object_list"

    def sized(handle, fmt, name, size=96):
        e = u32(size) + u32(handle) + u32(0x10001) + u32(fmt) + u32(0) * 3 + u32(1234) + u32(0)
        e += name.encode() + b"\0"
        return e + b"\0" * max(0, size - len(e))

    def named(handle, fmt, name):
        e = u32(0) + u32(handle) + u32(0x10001) + u32(fmt) + u32(0) * 3 + u32(1234) + b"\0" * 12
        units = name + "\0"
        return e + bytes([len(units)]) + b"".join(struct.pack("<H", ord(c)) for c in units)

    write(t, "sized_folder_and_two_files",
          u32(3) + sized(1, 0x3001, "DCIM") + sized(2, 0xB108, "IMG_0001.CR3") + sized(3, 0x3801, "IMG_0002.JPG"))
    write(t, "sized_entry_past_end", u32(2) + sized(1, 0x3801, "A.JPG") + u32(4000) + u32(2))
    write(t, "sized_tiny_entries", u32(0xFFFFFFFF) + u32(4) * 64)
    write(t, "sized_name_without_end", u32(1) + u32(40) + u32(1) + u32(0) * 7 + b"ABCD")
    write(t, "named_two_files", u32(2) + named(5, 0xB108, "IMG_0005.CR3") + named(6, 0x3801, "IMG_0006.JPG"))
    write(t, "named_string_cut", u32(1) + named(7, 0x3801, "IMG_0007.JPG")[:50])


if __name__ == "__main__":
    liveview()
    yuv_frames()
    thumbs()
    raws()
    sony()
    nikon_events()
    nikon_property_blob()
    canon_object_list()
