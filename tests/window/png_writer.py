"""Writing a captured window as an 8-bit RGB PNG, with nothing but zlib."""

import struct
import zlib


def _chunk(kind, payload):
    body = kind + payload
    return struct.pack(">I", len(payload)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_png(path, image):
    """image: an XwdImage (width, height and one byte string per channel)."""
    pixels = bytearray(3 * image.width * image.height)
    pixels[0::3] = image.red
    pixels[1::3] = image.green
    pixels[2::3] = image.blue
    row_bytes = 3 * image.width
    scanlines = b"".join(b"\x00" + pixels[y * row_bytes:(y + 1) * row_bytes] for y in range(image.height))
    header = struct.pack(">IIBBBBB", image.width, image.height, 8, 2, 0, 0, 0)  # 8-bit RGB, no interlace
    with open(path, "wb") as output:
        output.write(b"\x89PNG\r\n\x1a\n")
        output.write(_chunk(b"IHDR", header))
        output.write(_chunk(b"IDAT", zlib.compress(scanlines, 9)))
        output.write(_chunk(b"IEND", b""))
