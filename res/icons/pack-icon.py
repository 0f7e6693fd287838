"""Assembles Vintrel.ico and the tray icon's group directory from make-icon.sh's frames.

  pack-icon.py WORK PNG_FROM OUT.ico OUT-group.bin SIZE...

WORK holds dib.ico (ImageMagick's icon of the frames below PNG_FROM px, 32-bpp DIBs) and
SIZE.rgba (raw 8-bit RGBA) for each larger frame, which is stored as PNG.
"""
import struct
import sys
import zlib


def dib_frames(path):
    data = open(path, "rb").read()
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    assert kind == 1, path
    frames = {}
    for i in range(count):
        width, _, _, _, _, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        image = data[offset : offset + size]
        assert bits == 32 and image[:4] == b"\x28\0\0\0", "frame %d is no 32-bpp DIB" % width
        frames[width or 256] = image
    return frames


def predict(kind, a, b, c):
    if kind == 1:
        return a
    if kind == 2:
        return b
    if kind == 3:
        return (a + b) // 2
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else b if pb <= pc else c


def filtered(kind, row, prev):
    if kind == 0:
        return row
    out = bytearray(len(row))
    for i, x in enumerate(row):
        a = row[i - 4] if i >= 4 else 0
        c = prev[i - 4] if i >= 4 else 0
        out[i] = (x - predict(kind, a, prev[i], c)) & 0xFF
    return bytes(out)


def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def png(rgba, size):
    """The smallest of the five PNG filter types used on every row, at zlib level 9."""
    stride = 4 * size
    rows = [rgba[y * stride : (y + 1) * stride] for y in range(size)]
    best = None
    for kind in range(5):
        raw = bytearray()
        prev = bytes(stride)
        for row in rows:
            raw += bytes([kind]) + filtered(kind, row, prev)
            prev = row
        packed = zlib.compress(bytes(raw), 9)
        if best is None or len(packed) < len(best):
            best = packed
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", best)
            + chunk(b"IEND", b""))


def main():
    work, png_from, ico_path, group_path = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
    sizes = [int(s) for s in sys.argv[5:]]
    dibs = dib_frames(work + "/dib.ico")
    images = []
    for size in sizes:
        if size < png_from:
            images.append(dibs[size])
        else:
            rgba = open("%s/%d.rgba" % (work, size), "rb").read()
            assert len(rgba) == 4 * size * size
            images.append(png(rgba, size))

    count = len(images)
    ico = bytearray(struct.pack("<HHH", 0, 1, count))
    group = bytearray(struct.pack("<HHH", 0, 1, count))
    offset = 6 + 16 * count
    for index, (size, image) in enumerate(zip(sizes, images)):
        entry = struct.pack("<BBBBHHI", size % 256, size % 256, 0, 0, 1, 32, len(image))
        ico += entry + struct.pack("<I", offset)
        group += entry + struct.pack("<H", index + 1)
        offset += len(image)
    for image in images:
        ico += image
    open(ico_path, "wb").write(ico)
    open(group_path, "wb").write(group)


main()
