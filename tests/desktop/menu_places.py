# The frame's size and the menu's buttons as the program lays them out, read
# from what the menu_places tool printed (lib.sh's read_menu_places names the
# file in FLOPKIN_MENU_PLACES).
import os


def _lines():
    with open(os.environ["FLOPKIN_MENU_PLACES"]) as f:
        return [line.rstrip("\n").split("\t") for line in f]


def frame():
    """(width, height, canvas width) in pixels."""
    for fields in _lines():
        if fields[0] == "frame":
            return tuple(int(v) for v in fields[1:4])
    raise SystemExit("no frame in the menu's places")


def buttons(mode):
    """Each button drawn in the mode ("draw" or "play"): (name, label, x, y, w, h, nudge)."""
    return [(f[1], f[7], *(int(float(v)) for v in f[2:7])) for f in _lines() if f[0] == mode]


def button(name):
    """The named button's (label, x, y, w, h, nudge), as laid out in draw mode or else in play mode."""
    for mode in ("draw", "play"):
        for b in buttons(mode):
            if b[0] == name:
                return b[1:]
    raise SystemExit(f"the menu has no button named '{name}'")
