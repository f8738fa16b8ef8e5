# Decodes a Flopkin document byte by byte and checks it holds the figure that
# was drawn: the header line, then one "New Ball" record per ball numbered
# 1..n at the given positions, the links between the given ball numbers with
# the distance at drawing time as rest length, and the tensions over the given
# ball numbers with the angle the three balls make.
#
# Usage: check_document.py FILE BALLS LINKS TENSIONS
#   BALLS     x,y positions separated by spaces: "150,200 350,260"
#   LINKS     a-b ball numbers: "1-2 2-3"
#   TENSIONS  a-vertex-b ball numbers: "1-2-3"
# Defaults of a fresh run: mass 1, radius 13, link width 2, angle force 30.
import math
import struct
import sys

path, balls_arg, links_arg, tensions_arg = sys.argv[1:5]
data = open(path, "rb").read()
at = 0
problems = []


def line():
    global at
    end = data.find(b"\r\n", at)
    if end < 0:
        raise SystemExit(f"{path}: a line at byte {at} has no CR LF")
    text = data[at:end].decode("latin-1")
    at = end + 2
    return text


def fields(layout):
    global at
    size = struct.calcsize(layout)
    if at + size > len(data):
        raise SystemExit(f"{path}: a record at byte {at} is cut short")
    values = struct.unpack_from(layout, data, at)
    at += size
    return values


def f32(v):
    return struct.unpack("<f", struct.pack("<f", v))[0]


def close(a, b, tolerance, what):
    if not abs(a - b) <= tolerance:
        problems.append(f"{what} is {a}, expected {b}")


def colour(rgb, what):
    if not all(0 <= c <= 255 for c in rgb):
        problems.append(f"{what} colour {rgb} is not three components 0..255")


expected_balls = [tuple(float(v) for v in p.split(",")) for p in balls_arg.split()]
expected_links = [tuple(int(v) for v in p.split("-")) for p in links_arg.split()]
expected_tensions = [tuple(int(v) for v in p.split("-")) for p in tensions_arg.split()]

if line() != "1":
    problems.append("the header line is not \"1\"")
balls, links, tensions = [], [], []
while at < len(data):
    marker = line()
    if marker == "New Ball":
        number, mass, x, y, radius, *rgb = fields("<iffffiii")
        balls.append((number, x, y))
        if (mass, radius) != (1.0, 13.0):
            problems.append(f"ball {number}: mass {mass} radius {radius}, expected 1 and 13")
        colour(rgb, f"ball {number}")
    elif marker == "New Link":
        a, b, rest, width, *rgb = fields("<iiffiii")
        links.append((a, b, rest))
        if width != 2.0:
            problems.append(f"link {a}-{b}: width {width}, expected 2")
        colour(rgb, f"link {a}-{b}")
    elif marker == "New Tension":
        a, v, b, angle, strength = fields("<iiiff")
        tensions.append((a, v, b, angle))
        if strength != 30.0:
            problems.append(f"tension {a}-{v}-{b}: strength {strength}, expected 30")
    else:
        problems.append(f"unexpected line {marker!r} at byte {at}")
        break

if [b[0] for b in balls] != list(range(1, len(expected_balls) + 1)):
    problems.append(f"ball numbers {[b[0] for b in balls]}, expected 1..{len(expected_balls)}")
for (number, x, y), (ex, ey) in zip(balls, expected_balls):
    if (x, y) != (ex, ey):
        problems.append(f"ball {number} at ({x}, {y}), expected ({ex}, {ey})")
position = {n: (x, y) for n, x, y in balls}

if [(a, b) for a, b, _ in links] != expected_links:
    problems.append(f"links {[(a, b) for a, b, _ in links]}, expected {expected_links}")
for a, b, rest in links:
    if a in position and b in position:
        (ax, ay), (bx, by) = position[a], position[b]
        close(rest, f32(math.hypot(bx - ax, by - ay)), 1e-3, f"rest length of link {a}-{b}")

if [t[:3] for t in tensions] != expected_tensions:
    problems.append(f"tensions {[t[:3] for t in tensions]}, expected {expected_tensions}")
for a, v, b, angle in tensions:
    if a in position and v in position and b in position:
        (px, py), (vx, vy), (qx, qy) = position[a], position[v], position[b]
        a1 = math.degrees(math.atan2(vy - py, -(vx - px)))
        a2 = math.degrees(math.atan2(qy - vy, -(qx - vx)))
        close(angle, (a1 - a2 + 180) % 360, 1e-3, f"rest angle of tension {a}-{v}-{b}")

size = 3 + 42 * len(expected_balls) + 38 * len(expected_links) + 33 * len(expected_tensions)
if len(data) != size:
    problems.append(f"the file has {len(data)} bytes, expected {size}")
for problem in problems:
    print(f"{path}: {problem}")
sys.exit(1 if problems else 0)
