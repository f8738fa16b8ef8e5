# Reads the shown frame of a window back from the X server and checks the
# overlapping shapes of "draw_probe order": every pixel of the checked area has
# the colour of the last shape drawn over it.
# Usage: python3 read_order.py WINDOW_ID
import sys

from Xlib import X, display

BLACK, WHITE, RED, GREEN = (0, 0, 0), (255, 255, 255), (255, 0, 0), (0, 255, 0)
BLUE, YELLOW, GREY, TEXT, MAGENTA = (0, 0, 255), (255, 255, 0), (64, 64, 64), (0, 128, 255), (255, 0, 255)
CYAN = (0, 255, 255)

d = display.Display()
window = d.create_resource_object("window", int(sys.argv[1]))
# the probe's window is the program's frame, whatever its size
geometry = window.get_geometry()
WIDTH, HEIGHT = geometry.width, geometry.height
data = window.get_image(0, 0, WIDTH, HEIGHT, X.ZPixmap, 0xFFFFFFFF).data
assert len(data) == WIDTH * HEIGHT * 4, "expected a 24-bit visual in 32-bit pixels"


def pixel(x, y):
    at = (y * WIDTH + x) * 4
    return data[at + 2], data[at + 1], data[at]  # little-endian BGRX


# the picture as painted shape after shape: a fill covers x .. x + w - 1, a
# line with its last pixel both ends
expected = {}


def fill(x, y, w, h, colour):
    for py in range(y, y + h):
        for px in range(x, x + w):
            expected[px, py] = colour


def line(x1, y1, x2, y2, colour):
    for px in range(min(x1, x2), max(x1, x2) + 1):
        for py in range(min(y1, y2), max(y1, y2) + 1):
            expected[px, py] = colour


for py in range(80, 420):
    for px in range(60, 640):
        expected[px, py] = BLACK
fill(100, 100, 200, 100, RED)
line(80, 150, 319, 150, WHITE)
fill(180, 120, 40, 60, GREEN)
line(200, 90, 200, 209, BLUE)
line(400, 300, 500, 300, WHITE)
line(500, 300, 500, 400, RED)
line(600, 100, 600, 150, WHITE)
fill(590, 140, 20, 20, YELLOW)
fill(400, 100, 120, 24, GREY)
# the glyphs' pixels are checked by the read-back of the reference shapes;
# here only that the text shows beside the fill laid over it: 13 glyphs of 8 x 16
text_area = [(px, py) for py in range(104, 120) for px in range(404, 404 + 13 * 8) if not 420 <= px < 440]
for p in text_area:
    del expected[p]
fill(420, 100, 20, 24, MAGENTA)

# the huge oval (centre (2800, 600), radius 2100) over the white line, the
# blue line over both; points at least 3 pixels from the oval's edge
for p, colour in [((720, 250), WHITE), ((720, 580), CYAN), ((720, 640), CYAN), ((730, 599), CYAN),
                  ((695, 599), BLACK), ((760, 760), CYAN), ((690, 600), BLUE), ((730, 600), BLUE),
                  ((760, 600), BLUE), ((761, 600), CYAN)]:
    expected[p] = colour

failures = [f"pixel {p} is {pixel(*p)}, expected {c}" for p, c in sorted(expected.items()) if pixel(*p) != c]
shown = {pixel(*p) for p in text_area}
if TEXT not in shown or GREY not in shown or not shown <= {TEXT, GREY}:
    failures.append(f"the text beside the fill shows {sorted(shown)}, expected text on grey")
for failure in failures[:40]:
    print(failure)
if failures:
    print(f"{len(failures)} pixels wrong")
    sys.exit(1)
print("every shape drawn over the ones before it")
