# Reads the shown frame of a window back from the X server and checks the
# reference shapes that draw_probe draws.
# Usage: python3 read_frame.py WINDOW_ID TEXT_MASK_FILE
import sys

from Xlib import X, display

BLACK, WHITE = (0, 0, 0), (255, 255, 255)
RED, GREEN, YELLOW, TEXT, GREY = (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 128, 255), (64, 64, 64)

d = display.Display()
window = d.create_resource_object("window", int(sys.argv[1]))
# the probe's window is the program's frame, whatever its size
geometry = window.get_geometry()
WIDTH, HEIGHT = geometry.width, geometry.height
image = window.get_image(0, 0, WIDTH, HEIGHT, X.ZPixmap, 0xFFFFFFFF)
data = image.data
bytes_per_pixel = len(data) // (WIDTH * HEIGHT)
assert bytes_per_pixel == 4, "expected a 24-bit visual in 32-bit pixels"


def pixel(x, y):
    at = (y * WIDTH + x) * 4
    b, g, r = data[at], data[at + 1], data[at + 2]  # little-endian BGRX
    return (r, g, b)


failures = []


def expect(x, y, colour, what):
    got = pixel(x, y)
    if got != colour:
        failures.append(f"{what}: pixel ({x}, {y}) is {got}, expected {colour}")


# the vertical line colours exactly column 780, last pixel included
for y in range(HEIGHT):
    expect(780, y, WHITE, "vertical line")
    expect(779, y, BLACK, "left of the vertical line")
    expect(781, y, BLACK, "right of the vertical line")
# the horizontal line covers x 10..109 of row 700 and nothing around it
for x in range(10, 110):
    expect(x, 700, WHITE, "horizontal line")
    expect(x, 699, BLACK, "above the horizontal line")
    expect(x, 701, BLACK, "below the horizontal line")
expect(9, 700, BLACK, "before the horizontal line")
expect(110, 700, BLACK, "after the horizontal line")
# the rectangle covers exactly x 100..149, y 100..129
for y in range(98, 132):
    for x in range(98, 152):
        inside = 100 <= x < 150 and 100 <= y < 130
        expect(x, y, RED if inside else BLACK, "rectangle")
# the oval inscribed in (300, 100) 100 x 60: centre (350, 130)
for x, y in [(350, 130), (350, 103), (350, 157), (303, 130), (397, 130)]:
    expect(x, y, GREEN, "inside the oval")
for x, y in [(350, 98), (350, 161), (298, 130), (401, 130), (302, 102), (397, 157)]:
    expect(x, y, BLACK, "outside the oval")
# the triangle (600, 400) (700, 400) (650, 450)
for x, y in [(650, 401), (650, 445), (610, 401), (690, 401)]:
    expect(x, y, YELLOW, "inside the triangle")
for x, y in [(650, 452), (605, 440), (695, 440), (650, 397)]:
    expect(x, y, BLACK, "outside the triangle")
# the text at (500, 300) over a grey patch: glyph pixels in the text colour,
# the rest of each cell untouched
mask = [line.rstrip("\n") for line in open(sys.argv[2]) if line.strip()]
assert len(mask) == 16, f"the mask has {len(mask)} rows"
for row, line in enumerate(mask):
    for col, c in enumerate(line):
        expect(500 + col, 300 + row, TEXT if c == "#" else GREY, "text")
expect(500 + len(mask[0]), 300, GREY, "after the text")
# the same text at twice the scale at (100, 500)
for y in range(32):
    for x in range(2 * len(mask[0])):
        expect(100 + x, 500 + y, TEXT if mask[y // 2][x // 2] == "#" else GREY, "scaled text")
expect(100 + 2 * len(mask[0]), 500, GREY, "after the scaled text")

for failure in failures[:40]:
    print(failure)
if failures:
    print(f"{len(failures)} pixels wrong")
    sys.exit(1)
print("frame read back as drawn")
