#!/usr/bin/env python3
# Writes the live_view_frame fuzz corpus: one small frame per file, named after what it shows.
import struct, os
d=os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'corpus', 'live_view_frame')
JPEG=bytes([0xFF,0xD8,0xFF,0xDB])+bytes(40)+bytes([0xFF,0xD9])
def head(cam,model=0,flags=0): return bytes([cam,model,flags])
def canon(kind=1, rotation=1, image=JPEG, length=None):
    b=bytearray(1360); b[0]=kind
    struct.pack_into('<If',b,4,rotation,12.5)
    struct.pack_into('<I',b,1356,len(image) if length is None else length)
    return bytes(b)+image+bytes(8)
def sony(model_base, header=1200, image=JPEG):
    b=bytearray(header)
    if header>=1038: struct.pack_into('<H',b,1036,271)
    for i,v in enumerate((100,200,30,40)):
        if model_base+4*i+2<=header: struct.pack_into('<H',b,model_base+4*i,v)
    return bytes(b)+image
files={
 'fuji_plain_jpeg': head(0)+JPEG,
 'canon_kind1_whole': head(1)+canon(),
 'canon_image_one_past_end': head(1)+canon(length=len(JPEG)+9),
 'canon_length_wraps_32bit': head(1)+canon(length=0x100000000-1360),
 'canon_kind2_bmp': head(1)+canon(kind=2,image=b'BM'+bytes(60)),
 'canon_kind3': head(1)+canon(kind=3),
 'canon_header_cut': head(1)+canon()[:700],
 'sony_focus_model176': head(2,176,1)+sony(581),
 'sony_focus_other_model': head(2,0,1)+sony(1093),
 'sony_short_header': head(2,0,1)+sony(1093,header=590),
 'sony_no_jpeg': head(2,183,1)+bytes(1500),
 'nikon_empty': head(3),
}
os.makedirs(d,exist_ok=True)
for k,v in files.items():
    open(os.path.join(d,k),'wb').write(v)
