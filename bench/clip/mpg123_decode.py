"""libmpg123 through ctypes, for the clip benchmarks' scripts."""
import array
import ctypes

mpg123 = ctypes.CDLL("libmpg123.so.0")
mpg123.mpg123_new.restype = ctypes.c_void_p
mpg123.mpg123_new.argtypes = [ctypes.c_char_p, ctypes.POINTER(ctypes.c_int)]
for name in ("mpg123_param", "mpg123_open", "mpg123_getformat", "mpg123_format_none",
             "mpg123_format", "mpg123_read", "mpg123_delete"):
    getattr(mpg123, name).argtypes = None
MPG123_FLAGS, MPG123_QUIET, MPG123_GAPLESS = 1, 0x20, 0x40
MPG123_ENC_SIGNED_16, MPG123_OK, MPG123_NEW_FORMAT = 0xD0, 0, -11


def mpg123_decode(path):
    """(rate, channels, samples) as libmpg123 decodes the file, gapless."""
    error = ctypes.c_int()
    handle = ctypes.c_void_p(mpg123.mpg123_new(None, ctypes.byref(error)))
    mpg123.mpg123_param(handle, MPG123_FLAGS, ctypes.c_long(MPG123_GAPLESS | MPG123_QUIET),
                        ctypes.c_double(0))
    mpg123.mpg123_open(handle, path.encode())
    rate, channels, encoding = ctypes.c_long(), ctypes.c_int(), ctypes.c_int()
    mpg123.mpg123_getformat(handle, ctypes.byref(rate), ctypes.byref(channels), ctypes.byref(encoding))
    mpg123.mpg123_format_none(handle)
    mpg123.mpg123_format(handle, rate, channels, MPG123_ENC_SIGNED_16)
    buffer = ctypes.create_string_buffer(1 << 16)
    done = ctypes.c_size_t()
    samples = array.array("h")
    while True:
        status = mpg123.mpg123_read(handle, buffer, ctypes.c_size_t(len(buffer)), ctypes.byref(done))
        samples.frombytes(buffer.raw[: done.value])
        if status not in (MPG123_OK, MPG123_NEW_FORMAT):
            break
    mpg123.mpg123_delete(handle)
    return rate.value, channels.value, samples
