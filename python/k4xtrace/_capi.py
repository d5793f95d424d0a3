"""The C interface library: where it is found, its calls as ctypes sees them, and its errors."""
import ctypes
import ctypes.util
import glob
import os
import sys
from typing import Any, Dict, Iterator, List, Optional, Tuple

from ._constants import Status

ENVIRONMENT_VARIABLE = "K4XTRACE_C_LIBRARY"
"""The environment variable that names the C interface library's file."""

if sys.platform == "win32":
    _NAME, _BUNDLED = "K4xTraceC.dll", "K4xTraceC.dll"
    ENCODING, _ERRORS = "mbcs", "strict"
else:
    _NAME, _BUNDLED = "libK4xTraceC.so", "libK4xTraceC.so.*"
    ENCODING, _ERRORS = "utf-8", "surrogateescape"


class K4xError(Exception):
    """A failure of the library or of its C interface.

    status is the C interface's Status (an int where it names none); text
    says what this failure met: the library's own text where it set one.
    """

    def __init__(self, status: int, text: str) -> None:
        super().__init__(text)
        self.status: int = status
        try:
            self.status = Status(status)
        except ValueError:  # a status newer than this package
            pass
        self.text = text

    def __str__(self) -> str:
        return self.text


class UnknownPropertyError(K4xError, KeyError):
    """A property name that the library does not know; also a KeyError."""


class PropertyTypeError(K4xError, TypeError):
    """A value of a type that the property does not hold; also a TypeError."""


def encode(text: str) -> bytes:
    """A text as the C interface takes it: in the system's code page."""
    return text.encode(ENCODING, _ERRORS)


def decode(data: bytes) -> str:
    """A text of the C interface as str."""
    return data.decode(ENCODING, _ERRORS)


_size_p = ctypes.POINTER(ctypes.c_size_t)
_char_p, _void_p, _int, _u32 = ctypes.c_char_p, ctypes.c_void_p, ctypes.c_int, ctypes.c_uint32

QUESTION = ctypes.CFUNCTYPE(None, _void_p, _char_p, _void_p)
"""The host's answer: (user data, question, answer) -> nothing."""

# Each call: its result and its arguments.
_PROTOTYPES: Dict[str, Tuple[Any, Tuple[Any, ...]]] = {
    "k4x_open": (_int, (_char_p, _char_p, _u32, _u32, ctypes.POINTER(_void_p))),
    "k4x_close": (_int, (_void_p,)),
    "k4x_error_text": (_char_p, (_void_p,)),
    "k4x_device_info": (_int, (_void_p, ctypes.POINTER(_u32), ctypes.POINTER(_u32), _char_p, ctypes.c_size_t, _size_p)),
    "k4x_property_count": (_int, (_void_p, _size_p)),
    "k4x_property_at": (_int, (_void_p, ctypes.c_size_t, ctypes.POINTER(_char_p), ctypes.POINTER(_int))),
    "k4x_get_int": (_int, (_void_p, _char_p, ctypes.POINTER(ctypes.c_int32))),
    "k4x_get_bool": (_int, (_void_p, _char_p, ctypes.POINTER(_int))),
    "k4x_get_text": (_int, (_void_p, _char_p, _char_p, ctypes.c_size_t, _size_p)),
    "k4x_set_int": (_int, (_void_p, _char_p, ctypes.c_int32)),
    "k4x_set_bool": (_int, (_void_p, _char_p, _int)),
    "k4x_set_text": (_int, (_void_p, _char_p, _char_p)),
    "k4x_load": (_int, (_void_p, _char_p, _int)),
    "k4x_save": (_int, (_void_p, _char_p, _int)),
    "k4x_load_live": (_int, (_void_p,)),
    "k4x_out_file": (_int, (_void_p, _char_p, QUESTION, _void_p, _char_p, ctypes.c_size_t, _size_p)),
    "k4x_set_answer": (_int, (_void_p, _char_p)),
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
    for name, (result, arguments) in _PROTOTYPES.items():
        function = getattr(c, name)
        function.argtypes = arguments
        function.restype = result
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
            except (OSError, AttributeError) as error:  # no such file, or a call missing
                tried.append("{}: {}".format(place, error))
                break
        return _loaded[path]
    raise K4xError(Status.NO_LIBRARY, "cannot load the K4x trace C interface library; tried " + "; ".join(tried))
