#!/usr/bin/python3
"""Reads a screenshot (PPM on stdin) of one window on a desktop and prints the last row of its
lists (white) and the last row of its own grey background, so a test can tell whether the lists
end inside the window: "LIST_BOTTOM WINDOW_BOTTOM"."""
import sys

data = sys.stdin.buffer.read()
fields = data.split(maxsplit=4)
width, height = int(fields[1]), int(fields[2])
pixels = fields[4]
last_white = last_grey = -1
for y in range(height):
    row = pixels[y * width * 3:(y + 1) * width * 3]
    white = grey = 0
    for x in range(0, width * 3, 3):
        r, g, b = row[x], row[x + 1], row[x + 2]
        if r == g == b:
            if r == 255:
                white += 1
            elif 225 <= r <= 245:
                grey += 1
    if white >= 150:
        last_white = y
    if grey >= 300:
        last_grey = y
print(last_white, last_grey)
