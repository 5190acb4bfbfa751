"""Which part of the maze the window must show after the wheel and drags: the same
arithmetic as the program's, worked out independently. A view is (zoom steps, centre x,
centre y); its rectangle is (left, top, right, bottom) in cells."""

ZOOM_PER_STEP = 1.25
CLOSEST_VIEW_CELLS = 4


def full_view(width, height):
    return (0, width / 2.0, height / 2.0)


def most_zoom_steps(width, height):
    shorter = min(width, height) + 2.0
    steps = 0
    while shorter / ZOOM_PER_STEP ** (steps + 1) >= CLOSEST_VIEW_CELLS:
        steps += 1
    return steps


def rectangle(width, height, view):
    steps, centre_x, centre_y = view
    if steps == 0:
        return (-1.0, -1.0, width + 1.0, height + 1.0)
    half_x = (width + 2.0) / ZOOM_PER_STEP ** steps / 2
    half_y = (height + 2.0) / ZOOM_PER_STEP ** steps / 2
    return (centre_x - half_x, centre_y - half_y, centre_x + half_x, centre_y + half_y)


def _within_maze(width, height, view):
    steps, centre_x, centre_y = view
    if steps == 0:
        return full_view(width, height)
    half_x = (width + 2.0) / ZOOM_PER_STEP ** steps / 2
    half_y = (height + 2.0) / ZOOM_PER_STEP ** steps / 2
    return (steps, min(max(centre_x, -1 + half_x), width + 1 - half_x),
            min(max(centre_y, -1 + half_y), height + 1 - half_y))


def zoomed(width, height, view, steps, pointer, window_size):
    """After the wheel turned steps notches (negative: back) over window pixel pointer."""
    new_steps = min(max(view[0] + steps, 0), most_zoom_steps(width, height))
    if new_steps == view[0]:
        return view
    left, top, right, bottom = rectangle(width, height, view)
    fraction_x = (pointer[0] + 0.5) / window_size[0]
    fraction_y = (pointer[1] + 0.5) / window_size[1]
    point_x = left + fraction_x * (right - left)
    point_y = top + fraction_y * (bottom - top)
    span_x = (width + 2.0) / ZOOM_PER_STEP ** new_steps
    span_y = (height + 2.0) / ZOOM_PER_STEP ** new_steps
    return _within_maze(width, height, (new_steps, point_x + (0.5 - fraction_x) * span_x,
                                        point_y + (0.5 - fraction_y) * span_y))


def dragged(width, height, view, start, end, window_size):
    """After a left drag from window pixel start to end: the maze moves with the pointer."""
    left, top, right, bottom = rectangle(width, height, view)
    return _within_maze(width, height, (view[0], view[1] - (end[0] - start[0]) / window_size[0] * (right - left),
                                        view[2] - (end[1] - start[1]) / window_size[1] * (bottom - top)))
