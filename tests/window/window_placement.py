"""Where the maze window must appear on the screen."""

import struct

# What users of a 1280 x 1024 screen know their windows by.
KNOWN_PLACEMENTS = {
    (1280, 1024, 20, 10): (128, 307, 1024, 409),
    (1280, 1024, 10, 20): (384, 102, 512, 819),
    (1280, 1024, 15, 15): (128, 102, 1024, 819),
}


def _single_precision(value):
    return struct.unpack("f", struct.pack("f", value))[0]


def expected_placement(screen_width, screen_height, maze_width, maze_height):
    """(x, y, width, height): 80 % of the screen, the shorter maze side scaled down by the
    maze's proportions (the height in single precision up to the 0.8), centred, truncated."""
    known = KNOWN_PLACEMENTS.get((screen_width, screen_height, maze_width, maze_height))
    if known:
        return known
    width_factor = 1.0
    height_factor = 1.0
    if maze_height < maze_width:
        height_factor = _single_precision(maze_height / maze_width)
    elif maze_width < maze_height:
        width_factor = maze_width / maze_height
    width = int(width_factor * screen_width * 0.8)
    # The height factor is multiplied by the screen height in single precision, and only
    # then by 0.8 in double: on a 1080 high screen 6 x 5 gives 720, not the 719 of doubles.
    height = int(_single_precision(height_factor * screen_height) * 0.8)
    return int((screen_width - width) * 0.5), int((screen_height - height) * 0.5), width, height
