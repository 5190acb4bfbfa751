"""A window's pixels as xwd dumps them, reduced to 8-bit red, green and blue."""

import struct

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
RED = (255, 0, 0)

_HEADER_FIELDS = (
    "header_size file_version pixmap_format pixmap_depth pixmap_width pixmap_height xoffset byte_order "
    "bitmap_unit bitmap_bit_order bitmap_pad bits_per_pixel bytes_per_line visual_class red_mask "
    "green_mask blue_mask bits_per_rgb colormap_entries ncolors window_width window_height window_x "
    "window_y window_bdrwidth"
).split()
_HEADER_BYTES = 4 * len(_HEADER_FIELDS)
_COLORMAP_ENTRY_BYTES = 12
_Z_PIXMAP = 2
_LSB_FIRST = 0

# Maps every byte value to 1 when it is not 255: marks channels short of full intensity.
_BELOW_FULL = bytes(0 if value == 255 else 1 for value in range(256))


class XwdError(Exception):
    pass


def _channel_byte(mask, byte_order):
    """Which byte of a 32-bit pixel holds the 8-bit channel selected by mask."""
    for shift in (0, 8, 16, 24):
        if mask == 0xFF << shift:
            lsb_index = shift // 8
            return lsb_index if byte_order == _LSB_FIRST else 3 - lsb_index
    raise XwdError("channel mask %#x is not one whole byte" % mask)


class XwdImage:
    """Pixels of an xwd dump of a TrueColor window with 32 bits per pixel."""

    def __init__(self, data):
        if len(data) < _HEADER_BYTES:
            raise XwdError("xwd output too short (%d bytes)" % len(data))
        header = dict(zip(_HEADER_FIELDS, struct.unpack(">%dI" % len(_HEADER_FIELDS), data[:_HEADER_BYTES])))
        if header["pixmap_format"] != _Z_PIXMAP or header["bits_per_pixel"] != 32:
            raise XwdError("expected a ZPixmap dump with 32 bits per pixel, got format %d with %d bits"
                           % (header["pixmap_format"], header["bits_per_pixel"]))
        self.width = header["pixmap_width"]
        self.height = header["pixmap_height"]
        start = header["header_size"] + header["ncolors"] * _COLORMAP_ENTRY_BYTES
        line = header["bytes_per_line"]
        end = start + line * self.height
        if len(data) < end:
            raise XwdError("xwd output truncated: %d of %d bytes" % (len(data), end))
        row_bytes = 4 * self.width
        if line == row_bytes:
            pixels = data[start:end]
        else:
            pixels = b"".join(data[start + y * line:start + y * line + row_bytes] for y in range(self.height))
        order = header["byte_order"]
        # One byte string per channel, one byte per pixel, row after row.
        channels = [_channel_byte(header[mask], order) for mask in ("red_mask", "green_mask", "blue_mask")]
        self.red, self.green, self.blue = (pixels[byte::4] for byte in channels)
        # The byte no channel names: the X server keeps it as the program's drawing left it.
        self.fourth = pixels[({0, 1, 2, 3} - set(channels)).pop()::4]

    def colour(self, x, y):
        index = y * self.width + x
        return (self.red[index], self.green[index], self.blue[index])

    def same_pixels(self, other):
        return (self.width, self.height, self.red, self.green, self.blue) == (
            other.width, other.height, other.red, other.green, other.blue)

    def same_bytes(self, other):
        """Every byte of every pixel the same, the fourth included."""
        return self.same_pixels(other) and self.fourth == other.fourth

    def contains(self, x, y):
        return 0 <= x < self.width and 0 <= y < self.height

    def _non_white_marks(self):
        """One byte per pixel, row after row: 1 where the pixel is not white, else 0."""
        flags = 0
        for channel in (self.red, self.green, self.blue):
            flags |= int.from_bytes(channel.translate(_BELOW_FULL), "big")
        return flags.to_bytes(self.width * self.height, "big")

    def colour_marks(self, colour, reach=0):
        """One byte per pixel, row after row: 1 where each channel lies within reach of
        colour's, else 0; scanned a channel at a time, as _non_white_marks is."""
        flags = -1
        for channel, wanted in zip((self.red, self.green, self.blue), colour):
            near = bytes(1 if abs(value - wanted) <= reach else 0 for value in range(256))
            flags &= int.from_bytes(channel.translate(near), "big")
        return flags.to_bytes(self.width * self.height, "big")

    def non_white_count(self):
        return self._non_white_marks().count(1)

    def non_white_pixels(self):
        """Yields (x, y, colour) for every pixel that is not white, row by row.

        The scan for them runs over whole channels at once: pictures are almost all
        background, and a per-pixel loop in Python would dominate the test time."""
        marks = self._non_white_marks()
        index = marks.find(1)
        while index >= 0:
            y, x = divmod(index, self.width)
            yield x, y, (self.red[index], self.green[index], self.blue[index])
            index = marks.find(1, index + 1)
