# Succeeds when no window holds the pointer to itself, so that a click lands on
# whatever window is under it (a dialog, say); fails when it is grabbed.
import sys

from Xlib import X, display

d = display.Display()
status = d.screen().root.grab_pointer(False, X.ButtonPressMask, X.GrabModeAsync, X.GrabModeAsync, X.NONE, X.NONE,
                                      X.CurrentTime)
d.ungrab_pointer(X.CurrentTime)
d.sync()
if status != X.GrabSuccess:
    print("another window holds the pointer")
    sys.exit(1)
