"""The C interface library: where it is found, and its calls as ctypes sees them."""
import ctypes
import ctypes.util
import glob
import os
import sys
from typing import Dict, Iterator, List, Optional, Tuple

# Statuses of the C interface (k4xtrace_c.h).
OK = 0
FAILED = 1
NO_LIBRARY = 2
BAD_ARGUMENT = 3
WRONG_TYPE = 4
BUFFER_TOO_SMALL = 5
NOT_FOUND = 6
NO_MEMORY = 7

# Type codes of the properties.
INTEGER = 2
BOOLEAN = 5
TEXT = 6

ENVIRONMENT_VARIABLE = "K4XTRACE_C_LIBRARY"
if sys.platform == "win32":
    _NAME, _BUNDLED = "K4xTraceC.dll", "K4xTraceC.dll"
    ENCODING, _ERRORS = "mbcs", "strict"
else:
    _NAME, _BUNDLED = "libK4xTraceC.so", "libK4xTraceC.so.*"
    ENCODING, _ERRORS = "utf-8", "surrogateescape"


class K4xError(Exception):
    """A failure of the library or of its C interface; the text is the library's where it gave one."""

    def __init__(self, status: int, text: str) -> None:
        super().__init__(text)
        self.status = status
        self.text = text


def encode(text: str) -> bytes:
    return text.encode(ENCODING, _ERRORS)


def decode(data: bytes) -> str:
    return data.decode(ENCODING, _ERRORS)


_size_p = ctypes.POINTER(ctypes.c_size_t)
_char_p, _void_p, _int, _u32 = ctypes.c_char_p, ctypes.c_void_p, ctypes.c_int, ctypes.c_uint32

# The host's answer: (user data, question, answer) -> nothing.
QUESTION = ctypes.CFUNCTYPE(None, _void_p, _char_p, _void_p)

_PROTOTYPES = {
    "k4x_open": (_char_p, _char_p, _u32, _u32, ctypes.POINTER(_void_p)),
    "k4x_close": (_void_p,),
    "k4x_last_error": (_void_p, _char_p, ctypes.c_size_t, _size_p),
    "k4x_device_info": (_void_p, ctypes.POINTER(_u32), ctypes.POINTER(_u32), _char_p, ctypes.c_size_t, _size_p),
    "k4x_property_count": (_void_p, _size_p),
    "k4x_property_at": (_void_p, ctypes.c_size_t, ctypes.POINTER(_char_p), ctypes.POINTER(_int)),
    "k4x_get_int": (_void_p, _char_p, ctypes.POINTER(ctypes.c_int32)),
    "k4x_get_bool": (_void_p, _char_p, ctypes.POINTER(_int)),
    "k4x_get_text": (_void_p, _char_p, _char_p, ctypes.c_size_t, _size_p),
    "k4x_set_int": (_void_p, _char_p, ctypes.c_int32),
    "k4x_set_bool": (_void_p, _char_p, _int),
    "k4x_set_text": (_void_p, _char_p, _char_p),
    "k4x_load": (_void_p, _char_p, _int),
    "k4x_save": (_void_p, _char_p, _int),
    "k4x_load_live": (_void_p,),
    "k4x_out_file": (_void_p, _char_p, QUESTION, _void_p, _char_p, ctypes.c_size_t, _size_p),
    "k4x_set_answer": (_void_p, _char_p),
}

_loaded: Dict[str, ctypes.CDLL] = {}


def _places(library: Optional[str]) -> Iterator[Tuple[str, Optional[str], str]]:
    """Each place to look: its name, the file it names (None: none) and what to say when it names none."""
    yield "the library argument", library, "none given"
    yield ENVIRONMENT_VARIABLE, os.environ.get(ENVIRONMENT_VARIABLE) or None, "not set"
    folder = os.path.dirname(os.path.abspath(__file__))
    bundled = sorted(glob.glob(os.path.join(folder, _BUNDLED)))
    yield "the package folder " + folder, bundled[0] if bundled else None, "no " + _BUNDLED
    yield "the system's library search", ctypes.util.find_library("K4xTraceC") or _NAME, ""


def _declare(c: ctypes.CDLL) -> ctypes.CDLL:
    for name, arguments in _PROTOTYPES.items():
        function = getattr(c, name)
        function.argtypes = arguments
        function.restype = _int
    return c


def load(library: Optional[str] = None) -> ctypes.CDLL:
    """The C interface library: the first place that names a file decides; K4xError says what was tried."""
    tried: List[str] = []
    for place, path, absent in _places(library):
        if path is None:
            tried.append("{}: {}".format(place, absent))
            continue
        if path not in _loaded:
            try:
                _loaded[path] = _declare(ctypes.CDLL(path))
            except (OSError, AttributeError) as error:
                tried.append("{}: {}".format(place, error))
                break
        return _loaded[path]
    raise K4xError(NO_LIBRARY, "cannot load the K4x trace C interface library; tried " + "; ".join(tried))
