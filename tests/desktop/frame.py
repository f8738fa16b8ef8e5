# Reads what Flopkin shows back from the X server and answers questions about
# it: where the figure is, whether a disc or a link band is drawn at a spot,
# and whether the menu panel is drawn exactly as laid out.
#
#   frame.py figure WINDOW                 "count left top right bottom" of the
#                                          figure's pixels on the canvas
#   frame.py above WINDOW Y SECONDS        prints "ready", then waits up to
#                                          SECONDS for a figure above row Y
#   frame.py disc WINDOW CX CY R [FREE]    a filled disc of radius R at (CX, CY);
#                                          FREE: share of the ring just outside
#                                          that must be background (default 1)
#   frame.py band WINDOW X1 Y1 X2 Y2 HALF  a band of half-thickness HALF
#   frame.py all WINDOW "disc ..." ...     each disc or band, in one frame
#   frame.py menu WINDOW PROBE MODE ROWS   the whole panel, pixel for pixel;
#                                          MODE is draw or play, ROWS the five
#                                          numbers shown, top to bottom, e.g.
#                                          1000,130,200,300,100
#   frame.py label WINDOW PROBE NAME TEXT  the named button reads TEXT
#   frame.py pixel WINDOW X Y              the colour at (X, Y) as rrggbb
#   frame.py notice WINDOW                 the notice line below "Paused" holds text
#
# The frame's size and the buttons' places are the program's own, from the
# menu's places (menu_places.py). Exit status 0 when the check holds;
# otherwise the reasons are printed and the status is 1.
import math
import subprocess
import sys
import time

from Xlib import X, display

import menu_places

WIDTH, HEIGHT, AREA = menu_places.frame()
WHITE, PANEL, LABEL = 0xFFFFFF, 0xDEDEDE, 0x9B9B9B


def grey(v):
    return v & 0xFF == (v >> 8) & 0xFF == (v >> 16) & 0xFF


class Frame:
    def __init__(self, window):
        image = window.get_image(0, 0, WIDTH, HEIGHT, X.ZPixmap, 0xFFFFFFFF)
        assert len(image.data) == WIDTH * HEIGHT * 4, "expected a 24-bit visual in 32-bit pixels"
        # little-endian BGRX read as one int per pixel, 0x00RRGGBB once the
        # X bytes are cleared
        data = bytearray(image.data)
        data[3::4] = bytes(WIDTH * HEIGHT)
        self.px = memoryview(data).cast("I").tolist()
        self.background = {0, WHITE} | self.grid_colours()

    def at(self, x, y):
        if 0 <= x < WIDTH and 0 <= y < HEIGHT:
            return self.px[y * WIDTH + x]
        return None

    def grid_colours(self):
        # the grid's lines cross the whole canvas in one grey: a colour that
        # fills most of a canvas column or row is grid, never figure
        found = set()
        for x in range(AREA):
            v = self.px[3 * WIDTH + x]
            if v and grey(v) and v not in found:
                if sum(1 for y in range(HEIGHT) if self.px[y * WIDTH + x] == v) > HEIGHT * 0.8:
                    found.add(v)
        for y in range(HEIGHT):
            v = self.px[y * WIDTH + 3]
            if v and grey(v) and v not in found:
                row = self.px[y * WIDTH:y * WIDTH + AREA]
                if row.count(v) > AREA * 0.8:
                    found.add(v)
        return found

    def is_figure(self, x, y):
        v = self.at(x, y)
        return v is not None and x < AREA and v not in self.background

    def figure(self):
        count, left, top, right, bottom = 0, AREA, HEIGHT, -1, -1
        for y in range(HEIGHT):
            row = self.px[y * WIDTH:y * WIDTH + AREA]
            if set(row) <= self.background:
                continue
            for x, v in enumerate(row):
                if v not in self.background:
                    count += 1
                    left, right = min(left, x), max(right, x)
                    top, bottom = min(top, y), max(bottom, y)
        return count, left, top, right, bottom


def grab(window_id):
    d = display.Display()
    return d, d.create_resource_object("window", window_id)


def check_disc(frame, cx, cy, r, free):
    problems = []
    inner = r - 1.5
    for y in range(math.floor(cy - r), math.ceil(cy + r) + 1):
        for x in range(math.floor(cx - r), math.ceil(cx + r) + 1):
            if (x - cx) ** 2 + (y - cy) ** 2 <= inner * inner and not frame.is_figure(x, y):
                problems.append(f"({x}, {y}) inside the disc is {frame.at(x, y):06x}")
    ring = [(round(cx + (r + 2.5) * math.cos(a / 36 * math.pi)), round(cy + (r + 2.5) * math.sin(a / 36 * math.pi)))
            for a in range(72)]
    clear = [p for p in ring if not frame.is_figure(*p)]
    if len(clear) < free * len(ring):
        problems.append(f"only {len(clear)} of {len(ring)} pixels around the disc are background")
    return problems


def check_band(frame, x1, y1, x2, y2, half):
    problems = []
    length = math.hypot(x2 - x1, y2 - y1)
    nx, ny = -(y2 - y1) / length, (x2 - x1) / length
    for i in range(20, 81, 5):
        t = i / 100
        px, py = x1 + t * (x2 - x1), y1 + t * (y2 - y1)
        for side in (-1, 1):
            for d in range(0, math.floor(half - 1.5) + 1):
                p = (round(px + side * d * nx), round(py + side * d * ny))
                if not frame.is_figure(*p):
                    problems.append(f"{p} on the band is not figure")
            p = (round(px + side * (half + 2) * nx), round(py + side * (half + 2) * ny))
            if frame.is_figure(*p):
                problems.append(f"{p} beside the band is figure")
    return problems


glyphs = {}


def mask(probe, text):
    """The glyph mask of TEXT, one row per line: each character's cell side
    by side, every printable one read from the probe in a single run."""
    if not glyphs:
        printable = "".join(map(chr, range(32, 127)))
        rows = subprocess.run([probe, "mask", printable], check=True, capture_output=True, text=True).stdout.split()
        for i, c in enumerate(printable):
            glyphs[c] = [row[8 * i:8 * i + 8] for row in rows]
    return ["".join(glyphs[c][y] for c in text) for y in range(16)]


def buttons(mode, rows):
    """Every drawn button of the panel: (label, x, y, w, h, nudge), the value
    rows reading the numbers given, top to bottom."""
    drawn, numbers = [], iter(rows)
    for name, label, x, y, w, h, nudge in sorted(menu_places.buttons(mode), key=lambda b: b[3]):
        if "=" in label:
            label = label[:label.index("=") + 2] + next(numbers)
        drawn.append((label, x, y, w, h, nudge))
    return drawn


def find_text(frame, probe, text, x, y, w, h, nudge):
    """The top-left corner where TEXT is drawn in the box, or None."""
    rows = mask(probe, text)
    ex = x + (w - 8 * len(text)) / 2
    ey = y + (h - 16) / 2 + nudge
    for ty in range(math.floor(ey) - 1, math.ceil(ey) + 2):
        for tx in range(math.floor(ex) - 1, math.ceil(ex) + 2):
            if all((frame.at(tx + cx, ty + cy) == LABEL) == (c == "#")
                   for cy, line in enumerate(rows) for cx, c in enumerate(line)):
                return tx, ty
    return None


def check_menu(frame, probe, mode, rows):
    expected = {}
    for y in range(HEIGHT):
        for x in range(AREA, WIDTH):
            expected[x, y] = PANEL

    def line(x1, y1, x2, y2):
        for x in range(min(x1, x2), max(x1, x2) + 1):
            for y in range(min(y1, y2), max(y1, y2) + 1):
                if (x, y) in expected:
                    expected[x, y] = WHITE

    line(AREA, 0, AREA, HEIGHT)
    line(AREA, HEIGHT - 1, WIDTH - 1, HEIGHT - 1)
    line(WIDTH - 1, 0, WIDTH - 1, HEIGHT - 1)
    problems = []
    for text, x, y, w, h, nudge in buttons(mode, rows):
        line(x, y, x + w, y)
        line(x, y, x, y + h)
        line(x + w, y + h, x + w, y)
        line(x + w, y + h, x, y + h)
        corner = find_text(frame, probe, text, x, y, w, h, nudge)
        if corner is None:
            problems.append(f'the label "{text}" is not drawn centred in the box at ({x}, {y})')
            continue
        for cy, row in enumerate(mask(probe, text)):
            for cx, c in enumerate(row):
                if c == "#":
                    expected[corner[0] + cx, corner[1] + cy] = LABEL
    # every pixel expected lies in the frame: read them straight from the list
    px = frame.px
    wrong = [((x, y), px[y * WIDTH + x], v) for (x, y), v in expected.items() if px[y * WIDTH + x] != v]
    for p, got, want in wrong[:20]:
        problems.append(f"panel pixel {p} is {got:06x}, expected {want:06x}")
    if wrong:
        problems.append(f"{len(wrong)} panel pixels differ from the layout")
    return problems


# the questions about a shape at a spot, which "all" asks together of one frame
shapes = {
    "disc": lambda frame, a: check_disc(frame, *map(float, a[:3]), float(a[3]) if len(a) > 3 else 1.0),
    "band": lambda frame, a: check_band(frame, *map(float, a)),
}


def main():
    what, window_id = sys.argv[1], int(sys.argv[2], 0)
    args = sys.argv[3:]
    d, window = grab(window_id)
    problems = []
    if what == "figure":
        print(*Frame(window).figure())
    elif what == "above":
        # the rows above Y as they are now are the background: "ready" says
        # so; then only those rows are read and compared whole, fast enough
        # to catch a figure at the top of its flight
        rows, seconds = int(args[0]), float(args[1])
        strip = lambda: window.get_image(0, 0, AREA, rows, X.ZPixmap, 0xFFFFFFFF).data
        background = strip()
        print("ready", flush=True)
        end, samples = time.monotonic() + seconds, 0
        while strip() == background:
            samples += 1
            if time.monotonic() > end:
                problems.append(f"the figure did not show above y {rows} in {samples} samples")
                break
    elif what in shapes:
        problems = shapes[what](Frame(window), args)
    elif what == "all":
        frame = Frame(window)
        for question in args:
            shape, *numbers = question.split()
            problems += shapes[shape](frame, numbers)
    elif what == "menu":
        problems = check_menu(Frame(window), args[0], args[1], args[2].split(","))
    elif what == "label":
        name, text = args[1], args[2]
        _, x, y, w, h, nudge = menu_places.button(name)
        if find_text(Frame(window), args[0], text, x, y, w, h, nudge) is None:
            problems.append(f'the button "{name}" does not read "{text}"')
    elif what == "notice":
        # grey ink in the line's band that no grid line across the canvas explains
        f = Frame(window)
        ink = sum(1 for y in range(22, 42) for x in range(6, 400)
                  if grey(f.at(x, y)) and f.at(x, y) not in (0, WHITE)
                  and f.at(x, 10) != f.at(x, y) and f.at(700, y) != f.at(x, y))
        if ink < 150:
            problems.append(f"the notice line holds {ink} grey pixels")
    elif what == "pixel":
        print(f"{Frame(window).at(int(args[0]), int(args[1])):06x}")
    else:
        sys.exit(f"frame.py: unknown question '{what}'")
    for problem in problems[:30]:
        print(problem)
    sys.exit(1 if problems else 0)


main()
