"""PNG and ICO writers (standard library only, deterministic output)."""
import struct
import zlib

PNG_SIGNATURE = b'\x89PNG\r\n\x1a\n'
ZLIB_LEVEL = 9


def _chunk(kind, data):
    body = kind + data
    return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xFFFFFFFF)


def encode_png(rgba, w, h, level=ZLIB_LEVEL):
    """8-bit RGBA PNG, no row filters: the skin's images are smooth shapes on
    transparency and dithered gradients, where filtering gains little and costs time."""
    stride = w * 4
    raw = b''.join(b'\x00' + rgba[y * stride:(y + 1) * stride] for y in range(h))
    ihdr = struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0)
    return (PNG_SIGNATURE + _chunk(b'IHDR', ihdr) + _chunk(b'IDAT', zlib.compress(raw, level))
            + _chunk(b'IEND', b''))


def encode_ico(images):
    """images: [(size, rgba_bytes)], sizes ascending. Sizes up to 64 are stored as
    32-bit DIBs (every Windows version reads them), 256 as PNG."""
    entries = []
    blobs = []
    for size, rgba in images:
        if size >= 256:
            blob = encode_png(rgba, size, size)
        else:
            blob = _ico_dib(size, rgba)
        entries.append((size, blob))
        blobs.append(blob)
    header = struct.pack('<HHH', 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    table = b''
    for size, blob in entries:
        dim = 0 if size >= 256 else size
        table += struct.pack('<BBBBHHII', dim, dim, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    return header + table + b''.join(blobs)


def _ico_dib(size, rgba):
    mask_stride = ((size + 31) // 32) * 4
    bih = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0,
                      size * size * 4 + mask_stride * size, 0, 0, 0, 0)
    pixels = bytearray()
    mask = bytearray()
    for y in range(size - 1, -1, -1):  # bottom-up rows
        row = rgba[y * size * 4:(y + 1) * size * 4]
        mrow = bytearray(mask_stride)
        for x in range(size):
            r, g, b, a = row[x * 4:x * 4 + 4]
            pixels += bytes((b, g, r, a))
            if a == 0:
                mrow[x // 8] |= 0x80 >> (x % 8)
        mask += mrow
    return bih + bytes(pixels) + bytes(mask)
