"""Photographs for the end-to-end tests, made here: `blocks_jpeg` encodes a
picture of flat 8x8 blocks as a baseline JPEG (each block needs its DC
coefficient only, so the encoder is a few lines and exact), and
`with_orientation` puts the EXIF segment into it that a phone writes for a
picture taken on its side or upside down.
"""

import struct

# The standard luminance DC table (codes by category 0 to 11), and an AC
# table that holds only the end-of-block code: every block is flat.
DC_BITS = [0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0]
DC_VALUES = list(range(12))
AC_BITS = [1] + [0] * 15
AC_VALUES = [0x00]


def _codes(bits, values):
    """The Huffman code (value, length) of each symbol."""
    codes, code, k = {}, 0, 0
    for length, count in enumerate(bits, 1):
        for _ in range(count):
            codes[values[k]] = (code, length)
            code += 1
            k += 1
        code <<= 1
    return codes


class _Bits:
    def __init__(self):
        self.out = bytearray()
        self.value = 0
        self.count = 0

    def put(self, value, length):
        for i in range(length - 1, -1, -1):
            self.value = (self.value << 1) | ((value >> i) & 1)
            self.count += 1
            if self.count == 8:
                self.out.append(self.value)
                if self.value == 0xFF:
                    self.out.append(0)  # byte stuffing
                self.value = self.count = 0

    def flush(self):
        while self.count:
            self.put(1, 1)
        return bytes(self.out)


def _segment(marker, body):
    return struct.pack(">HH", marker, len(body) + 2) + body


def _ycc(rgb):
    r, g, b = rgb
    clamp = lambda v: max(0, min(255, int(round(v))))  # noqa: E731
    return (clamp(0.299 * r + 0.587 * g + 0.114 * b),
            clamp(-0.168736 * r - 0.331264 * g + 0.5 * b + 128),
            clamp(0.5 * r - 0.418688 * g - 0.081312 * b + 128))


def blocks_jpeg(width, height, colour):
    """A baseline JPEG of width x height (multiples of 8) whose 8x8 block at
    (bx, by), counted from the top left, has the RGB colour(bx, by)."""
    dc = _codes(DC_BITS, DC_VALUES)
    eob = _codes(AC_BITS, AC_VALUES)[0]
    bits = _Bits()
    previous = [0, 0, 0]
    for by in range(height // 8):
        for bx in range(width // 8):
            for c, value in enumerate(_ycc(colour(bx, by))):
                coefficient = 8 * (value - 128)  # a flat block's DC, quantised by 1
                diff = coefficient - previous[c]
                previous[c] = coefficient
                size = abs(diff).bit_length()
                bits.put(*dc[size])
                if size:
                    bits.put(diff if diff > 0 else diff - 1 + (1 << size), size)
                bits.put(*eob)
    components = b"".join(bytes([i, 0x11, 0]) for i in (1, 2, 3))
    tables = (bytes([0x00] + DC_BITS + DC_VALUES) + bytes([0x10] + AC_BITS + AC_VALUES))
    return (b"\xff\xd8"
            + _segment(0xFFE0, b"JFIF\0\x01\x01\0\0\x01\0\x01\0\0")
            + _segment(0xFFDB, bytes([0]) + bytes([1] * 64))
            + _segment(0xFFC0, struct.pack(">BHHB", 8, height, width, 3) + components)
            + _segment(0xFFC4, tables)
            + _segment(0xFFDA, bytes([3, 1, 0x00, 2, 0x00, 3, 0x00, 0, 63, 0]))
            + bits.flush() + b"\xff\xd9")


def with_orientation(jpeg, orientation, big_endian=True):
    """The JPEG with an EXIF segment right after its start, as cameras write
    it: a TIFF header and one directory holding the Orientation tag (0x0112,
    one SHORT)."""
    order = ">" if big_endian else "<"
    tiff = (b"MM" if big_endian else b"II") + struct.pack(order + "HI", 42, 8)
    tiff += struct.pack(order + "H", 1)
    tiff += struct.pack(order + "HHIHH", 0x0112, 3, 1, orientation, 0)
    tiff += struct.pack(order + "I", 0)
    return jpeg[:2] + _segment(0xFFE1, b"Exif\0\0" + tiff) + jpeg[2:]
