"""Deterministic stand-in packages shared by the download test servers."""
import hashlib
import os
import random

# Sizes the download tests use: the probe limits (256 B, 1 MiB) from both sides, one
# part, two parts with a remainder.
TEST_SIZES = (255, 256, 1048575, 1048576, 15000000, 30000001)
CHUNK = 1 << 20


def package_name(size):
    return "pkg_%d.exe" % size


def package_chunks(size):
    """The package's bytes, chunk by chunk (the same bytes for the same size)."""
    rng = random.Random(size)
    left = size
    while left > 0:
        n = min(CHUNK, left)
        yield rng.randbytes(n)
        left -= n


def package_bytes(size):
    return b"".join(package_chunks(size))


def write_package(path, size):
    """Writes the package unless a file of that size is already there; returns its MD5."""
    if os.path.exists(path) and os.path.getsize(path) == size:
        with open(path, "rb") as f:
            return _md5(f)
    digest = hashlib.md5()
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        for chunk in package_chunks(size):
            f.write(chunk)
            digest.update(chunk)
    os.replace(tmp, path)
    return digest.hexdigest()


def file_md5(path):
    with open(path, "rb") as f:
        return _md5(f)


def _md5(f):
    digest = hashlib.md5()
    for block in iter(lambda: f.read(CHUNK), b""):
        digest.update(block)
    return digest.hexdigest()
