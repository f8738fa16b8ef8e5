# How far balls of different figures overlap in a Flopkin document: the
# figures are the groups of balls its links join, as the program labels them.
# Of the pairs that touch (apart by less than their radii's sum), SHARE must
# overlap by at most WITHIN of their radii's sum and none by more than NEVER.
#
# Usage: check_overlaps.py FILE [WITHIN [SHARE [NEVER]]]
#   defaults: 0.05 1.0 0.5
import struct
import sys

path = sys.argv[1]
within, share, never = (float(v) for v in (sys.argv[2:5] + ["0.05", "1.0", "0.5"][len(sys.argv[2:5]):]))
data = open(path, "rb").read()
at = 0


def line():
    global at
    end = data.index(b"\r\n", at)
    text = data[at:end].decode("latin-1")
    at = end + 2
    return text


def fields(layout):
    global at
    values = struct.unpack_from(layout, data, at)
    at += struct.calcsize(layout)
    return values


line()
balls, index, parent = [], {}, []
while at < len(data):
    marker = line()
    if marker == "New Ball":
        number, _, x, y, radius, *_ = fields("<iffffiii")
        index[number] = len(balls)
        balls.append((x, y, radius))
        parent.append(len(parent))
    elif marker == "New Link":
        a, b, *_ = fields("<iiffiii")
        if a in index and b in index:
            stack = [index[a], index[b]]
            roots = []
            for i in stack:
                while parent[i] != i:
                    parent[i] = parent[parent[i]]
                    i = parent[i]
                roots.append(i)
            parent[max(roots)] = min(roots)
    elif marker == "New Tension":
        fields("<iiiff")
    else:
        raise SystemExit(f"{path}: unexpected line {marker!r}")


def root(i):
    while parent[i] != i:
        i = parent[i]
    return i


figure = [root(i) for i in range(len(balls))]
cell = 2 * max([r for _, _, r in balls] + [1])
grid = {}
for i, (x, y, r) in enumerate(balls):
    grid.setdefault((int(x // cell), int(y // cell)), []).append(i)
overlaps = []
for i, (x, y, r) in enumerate(balls):
    cx, cy = int(x // cell), int(y // cell)
    for dx in (-1, 0, 1):
        for dy in (-1, 0, 1):
            for j in grid.get((cx + dx, cy + dy), []):
                if j <= i or figure[j] == figure[i]:
                    continue
                qx, qy, q = balls[j]
                reach = r + q
                d = ((qx - x) ** 2 + (qy - y) ** 2) ** 0.5
                if d < reach:
                    overlaps.append((reach - d) / reach)
overlaps.sort()
close = sum(1 for o in overlaps if o <= within)
worst = overlaps[-1] if overlaps else 0.0
print(f"{path}: {len(balls)} balls, {len(set(figure))} figures, {len(overlaps)} touching pairs, "
      f"{close} overlapping by at most {within:.0%} of their radii's sum, the worst by {worst:.1%}")
bad = (overlaps and close < share * len(overlaps)) or worst > never
sys.exit(1 if bad else 0)
