"""Reading a PNG back into the pixels the picture checks read, with nothing but zlib: the
files the programs save (a palette of two bits a pixel) and the pages and drawings that
pdftoppm and rsvg-convert render (8-bit RGB or RGBA)."""

import struct
import zlib

from xwd_image import XwdImage

_SIGNATURE = b"\x89PNG\r\n\x1a\n"
_CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}  # colour type: samples a pixel


class PngError(Exception):
    pass


def read_chunks(data):
    """(kind, payload) of every chunk, in order."""
    if not data.startswith(_SIGNATURE):
        raise PngError("not a PNG file")
    chunks, at = [], len(_SIGNATURE)
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        chunks.append((kind, data[at + 8:at + 8 + length]))
        at += 12 + length
    return chunks


def _unfiltered(raw, height, row_bytes, pixel_bytes):
    """The rows of the image with each row's filter undone."""
    rows, previous = [], bytearray(row_bytes)
    stride = row_bytes + 1
    for y in range(height):
        kind, row = raw[y * stride], bytearray(raw[y * stride + 1:(y + 1) * stride])
        if kind == 1:
            for i in range(pixel_bytes, row_bytes):
                row[i] = (row[i] + row[i - pixel_bytes]) & 0xFF
        elif kind == 2:
            row = bytearray((a + b) & 0xFF for a, b in zip(row, previous))
        elif kind == 3:
            for i in range(row_bytes):
                left = row[i - pixel_bytes] if i >= pixel_bytes else 0
                row[i] = (row[i] + ((left + previous[i]) >> 1)) & 0xFF
        elif kind == 4:
            for i in range(row_bytes):
                a = row[i - pixel_bytes] if i >= pixel_bytes else 0
                b, c = previous[i], previous[i - pixel_bytes] if i >= pixel_bytes else 0
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                row[i] = (row[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 0xFF
        elif kind != 0:
            raise PngError("unknown filter %d in row %d" % (kind, y))
        rows.append(bytes(row))
        previous = row
    return rows


class PngImage(XwdImage):
    """The pixels of a PNG file, with the interface of XwdImage: width, height, colour(x, y),
    contains and non_white_pixels. text holds its tEXt chunks."""

    def __init__(self, data):
        chunks = read_chunks(data)
        header = dict(chunks)[b"IHDR"]
        self.width, self.height, depth, colour_type, _, _, interlace = struct.unpack(">IIBBBBB", header)
        if interlace or colour_type not in _CHANNELS or (colour_type != 3 and depth != 8):
            raise PngError("unsupported PNG: depth %d, colour type %d, interlace %d" % (depth, colour_type, interlace))
        self.text = {}
        for kind, payload in chunks:
            if kind == b"tEXt":
                key, _, value = payload.partition(b"\0")
                self.text[key.decode("latin-1")] = value.decode("latin-1")
        samples = _CHANNELS[colour_type]
        row_bytes = (self.width * samples * depth + 7) // 8
        raw = zlib.decompress(b"".join(payload for kind, payload in chunks if kind == b"IDAT"))
        rows = _unfiltered(raw, self.height, row_bytes, max(1, samples * depth // 8))
        if colour_type == 3:
            palette = dict(chunks)[b"PLTE"]
            self._from_palette(rows, depth, palette)
        else:
            pixels = b"".join(rows)
            self.red, self.green, self.blue = (pixels[i::samples] for i in range(3))

    def _from_palette(self, rows, depth, palette):
        per_byte = 8 // depth
        mask = (1 << depth) - 1
        # Each packed byte to the palette indices of its pixels, leftmost in the highest bits.
        spread = [bytes((byte >> (8 - depth * (k + 1))) & mask for k in range(per_byte)) for byte in range(256)]
        indices = b"".join(b"".join(map(spread.__getitem__, row))[:self.width] for row in rows)
        entries = [palette[i:i + 3] for i in range(0, len(palette), 3)]
        entries += [b"\0\0\0"] * (256 - len(entries))
        self.red, self.green, self.blue = (indices.translate(bytes(entry[channel] for entry in entries))
                                           for channel in range(3))

    def cropped(self, left, top, width, height):
        """The pixels of the rectangle of the given place and size, as an image of their own."""
        part = object.__new__(PngImage)
        part.width, part.height, part.text = width, height, self.text
        for channel in ("red", "green", "blue"):
            whole = getattr(self, channel)
            setattr(part, channel, b"".join(whole[(top + y) * self.width + left:(top + y) * self.width + left + width]
                                            for y in range(height)))
        return part


def read_png(path):
    with open(path, "rb") as file:
        return PngImage(file.read())
