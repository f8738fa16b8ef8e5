# Compares frames pixel by pixel: PNG files written by --screenshot, and what
# the X server showed in a window (grabbed into a raw .rgb file).
# Usage: python3 compare_frames.py A B          A, B: .png or .rgb; must be identical
#        python3 compare_frames.py --differ A B  the canvases must differ
#        python3 compare_frames.py --grab WINDOW_ID WIDTH HEIGHT OUT.rgb
import struct
import sys
import zlib

import menu_places


def read_png(path):
    data = open(path, "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", f"{path} is not a PNG file"
    at, packed, width, height = 8, b"", 0, 0
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        crc = struct.unpack(">I", data[at + 8 + length:at + 12 + length])[0]
        assert zlib.crc32(kind + body) == crc, f"{path}: bad checksum on {kind}"
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert (depth, colour, interlace) == (8, 2, 0), f"{path}: not 8-bit RGB"
        elif kind == b"IDAT":
            packed += body
        at += 12 + length
    raw = zlib.decompress(packed)
    row = width * 3
    assert len(raw) == (row + 1) * height, f"{path}: wrong amount of pixel data"
    assert all(raw[y * (row + 1)] == 0 for y in range(height)), f"{path}: filtered rows"
    pixels = b"".join(raw[y * (row + 1) + 1:(y + 1) * (row + 1)] for y in range(height))
    return width, height, pixels


def read_window(window_id, width, height):
    from Xlib import X, display
    d = display.Display()
    window = d.create_resource_object("window", window_id)
    data = window.get_image(0, 0, width, height, X.ZPixmap, 0xFFFFFFFF).data
    assert len(data) == width * height * 4, "expected a 24-bit visual in 32-bit pixels"
    out = bytearray(width * height * 3)
    out[0::3], out[1::3], out[2::3] = data[2::4], data[1::4], data[0::4]  # BGRX
    return width, height, bytes(out)


def read_frame(path):
    if not path.endswith(".rgb"):
        return read_png(path)
    data = open(path, "rb").read()
    width, height = struct.unpack(">II", data[:8])
    return width, height, data[8:]


def differences(a, b):
    (wa, ha, pa), (wb, hb, pb) = a, b
    if (wa, ha) != (wb, hb):
        return f"sizes differ: {wa}x{ha} and {wb}x{hb}", -1
    wrong = [i for i in range(0, len(pa), 3) if pa[i:i + 3] != pb[i:i + 3]]
    if not wrong:
        return "", 0
    first = wrong[0] // 3
    return (f"{len(wrong)} pixels differ, the first at ({first % wa}, {first // wa}): "
            f"{tuple(pa[wrong[0]:wrong[0] + 3])} and {tuple(pb[wrong[0]:wrong[0] + 3])}"), len(wrong)


args = sys.argv[1:]
if args[0] == "--grab":
    width, height, pixels = read_window(int(args[1], 0), int(args[2]), int(args[3]))
    open(args[4], "wb").write(struct.pack(">II", width, height) + pixels)
    sys.exit(0)
if args[0] == "--differ":
    a, b = read_frame(args[1]), read_frame(args[2])
    # the canvas only: the menu strip right of it is the same in both
    canvas = menu_places.frame()[2]
    crop = lambda img: b"".join(img[2][y * img[0] * 3:(y * img[0] + canvas) * 3] for y in range(img[1]))
    same = crop(a) == crop(b)
    print("the canvases are identical" if same else "the canvases differ")
    sys.exit(1 if same else 0)
else:
    what, count = differences(read_frame(args[0]), read_frame(args[1]))
if count:
    print(what)
    sys.exit(1)
print("identical")
