#!/usr/bin/env python3
# Writes the af_overlay fuzz corpus: one small focus report per file, named after what it shows.
import struct, os
d=os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'corpus', 'af_overlay')
def head(vendor,o,w,h): return bytes([vendor,o])+struct.pack('<HH',w,h)
def canon(frames, count=None, visible=(6000,4000), full=None, zoom=1, rotation=0, zoomrect=(0,0,0,0)):
    b=bytearray(1368); b[0]=1
    full=full or visible
    struct.pack_into('<I',b,4,rotation)
    struct.pack_into('<IIIIIIIIII',b,12,zoom,zoomrect[0],zoomrect[1],visible[0],visible[1],zoomrect[2],zoomrect[3],full[0],full[1],len(frames) if count is None else count)
    for i,(x,y,w,hh,st) in enumerate(frames):
        for base,v in ((52,st),(308,x),(564,y),(820,w),(1076,hh)): struct.pack_into('<I',b,base+4*i,v)
    return bytes(b)
def nikon(iw,ih,d,c,s,hl=0,fs=0,n=388):
    b=bytearray(388)
    struct.pack_into('<HHHHHHHH',b,16,iw,ih,d[0],d[1],s[0],s[1],c[0],c[1]); b[38]=hl; b[48]=fs
    return bytes(b[:n])
files={
 'canon_three_frames': head(0,1,600,400)+canon([(1000,1000,200,200,0x12),(3000,1000,200,200,0x11),(5000,1000,200,200,0x10)]),
 'canon_count_beyond_slots': head(0,1,640,400)+canon([(i*100,1000,50,50,0) for i in range(64)],count=0xFFFFFFFF),
 'canon_frame_above_band': head(0,1,600,300)+canon([(2900,450,200,200,0x11)],visible=(6000,3000),full=(6000,4000)),
 'canon_full_shorter_than_visible': head(0,6,600,600)+canon([(100,100,200,200,0)],visible=(6000,4000),full=(6000,10),rotation=1),
 'canon_huge_box': head(0,1,600,400)+canon([(0,0,0xFFFFFFFF,0xFFFFFFFF,0x11)]),
 'canon_zoomed_empty_area': head(0,1,600,400)+canon([(100,100,200,200,0)],zoom=5,zoomrect=(10,10,1000,0)),
 'canon_no_header_bytes': head(0,1,600,400),
 'canon_header_cut_short': head(0,1,600,400)+canon([(1000,1000,200,200,0x12)])[:600],
 'nikon_unreported_area': head(1,1,640,424)+nikon(640,424,(320,212),(0,0),(0,0)),
 'nikon_far_corner': head(1,6,600,400)+nikon(600,400,(300,200),(65535,65535),(60,40),fs=2),
 'nikon_zero_image': head(1,1,600,400)+nikon(0,400,(300,200),(300,200),(60,40)),
 'nikon_record_short': head(1,1,600,400)+nikon(600,400,(300,200),(300,200),(60,40),n=40),
 'nikon_tiny_view': head(1,8,6,4)+nikon(600,400,(300,200),(300,200),(2000,900),hl=1),
 'fuji_frame_in_focus': head(2,3,600,400)+bytes([0b101])+struct.pack('<HHHHHH',500,250,100,100,600,400),
 'fuji_frame_off_picture': head(2,1,600,400)+bytes([0b100])+struct.pack('<HHHHHH',65535,65535,65535,65535,600,400),
 'sony_point_empty_rect': head(3,1,640,428)+bytes([0b11011])+struct.pack('<HHHHHHHHHH',2,0x102,320,114,0,0,0,0,640,428),
 'sony_rect_turned': head(3,6,600,600)+bytes([0b00011])+struct.pack('<HHHHHHHHHH',1,0x102,0,0,120,40,30,20,600,400),
 'sony_zoomed_cross': head(3,1,800,500)+bytes([0b00101])+struct.pack('<HHHHHHHHHH',2,0,0,0,0,0,0,0,640,428),
 'sony_zero_frame_size': head(3,1,800,500)+bytes([0b00011])+struct.pack('<HHHHHHHHHH',2,0x102,0,0,300,200,40,30,0,0),
}
for k,v in files.items(): open(os.path.join(d,k),'wb').write(v)
print(len(files))
