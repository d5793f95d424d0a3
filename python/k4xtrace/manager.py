"""The configuration manager of one CPU, through the C interface."""
import ctypes
import enum
import os
import threading
import weakref
from typing import Any, Callable, Dict, Iterator, List, NamedTuple, Optional, Tuple, Union

from . import _capi
from ._capi import K4xError, decode, encode

Value = Union[int, bool, str]
# The host's answer: given the library's question ("Application for " and
# the CPU name), the path of an existing output file, or None.
Answer = Callable[[str], Optional[Union[str, "os.PathLike[str]"]]]


class FileType(enum.IntEnum):
    """The stores of load and save."""

    TDF = 0  # the AETCONFIG section of a TDF container, by path
    TEXT = 1  # a text file in the settings directory, by name
    DCM = 2  # saves: the same with ".dcm" added; loads read nothing
    TEXT_ALIAS = 4  # loads: the same as TEXT; saves refuse it


class DeviceInfo(NamedTuple):
    cpu_name: str
    first_number: int
    second_number: int


_SETTERS = ((bool, "k4x_set_bool"), (int, "k4x_set_int"), (str, "k4x_set_text"))


class Manager:
    """The configuration manager of one CPU; a context manager that closes it.

    Properties are read and set by name with Python types: int, bool and
    str. Every failure raises K4xError with the library's text. One call at
    a time runs on a manager, whichever thread makes it.
    """

    def __init__(self, cpu: str, *, library: Optional[str] = None, config_library: Optional[str] = None,
                 first_number: int = 0, second_number: int = 0) -> None:
        """library: the C interface library (see the package's README for the search);
        config_library: the configuration library, by default the one beside the C interface library."""
        self._c = _capi.load(library)
        self._lock = threading.RLock()
        self._busy = False  # a call runs: its question's answer may not call in again
        handle = ctypes.c_void_p()
        config = encode(os.fspath(config_library)) if config_library is not None else None
        status = self._c.k4x_open(config, encode(cpu), first_number, second_number, ctypes.byref(handle))
        if not handle:
            raise K4xError(status, "out of memory")
        self._handle: Optional[ctypes.c_void_p] = handle
        self._finalizer = weakref.finalize(self, self._c.k4x_close, handle)
        if status != _capi.OK:
            error = K4xError(status, self._last_error())
            self.close()
            raise error
        self._types: Dict[str, int] = dict(self._properties())

    def close(self) -> None:
        """Destroys the manager; later calls raise K4xError."""
        with self._lock:
            self._refuse_reentry()
            self._finalizer()
            self._handle = None

    def __enter__(self) -> "Manager":
        return self

    def __exit__(self, *exc: Any) -> None:
        self.close()

    @property
    def names(self) -> List[str]:
        """The properties that the library knows, in the order saves write them."""
        return list(self._types)

    def __iter__(self) -> Iterator[str]:
        return iter(self._types)

    def __contains__(self, name: object) -> bool:
        return name in self._types

    def __getitem__(self, name: str) -> Value:
        kind = self._types.get(name, _capi.INTEGER)
        if kind == _capi.TEXT:
            return self._text(self._c.k4x_get_text, encode(name))
        value = ctypes.c_int32() if kind == _capi.INTEGER else ctypes.c_int()
        self._call(self._c.k4x_get_int if kind == _capi.INTEGER else self._c.k4x_get_bool, encode(name),
                   ctypes.byref(value))
        return value.value if kind == _capi.INTEGER else bool(value.value)

    def __setitem__(self, name: str, value: Value) -> None:
        for kind, setter in _SETTERS:
            if isinstance(value, kind):
                self._call(getattr(self._c, setter), encode(name), encode(value) if kind is str else value)
                return
        raise K4xError(_capi.WRONG_TYPE, "a property value is an int, a bool or a str, not " + type(value).__name__)

    def as_dict(self) -> Dict[str, Value]:
        """Every property with its value."""
        return {name: self[name] for name in self._types}

    def device_info(self) -> DeviceInfo:
        first, second = ctypes.c_uint32(), ctypes.c_uint32()
        name = self._text(self._c.k4x_device_info, ctypes.byref(first), ctypes.byref(second))
        return DeviceInfo(name, first.value, second.value)

    def load(self, file: Union[str, "os.PathLike[str]"], file_type: FileType = FileType.TEXT) -> None:
        self._call(self._c.k4x_load, encode(os.fspath(file)), int(file_type))

    def save(self, file: Union[str, "os.PathLike[str]"], file_type: FileType = FileType.TEXT) -> None:
        self._call(self._c.k4x_save, encode(os.fspath(file)), int(file_type))

    def live(self) -> None:
        """Connects to the live target (its libraries are looked for on PATH) and reloads the settings file."""
        self._call(self._c.k4x_load_live)

    def out_file(self, cpu: str, answer: Optional[Answer] = None) -> Optional[str]:
        """The CPU's output file, or None when none is known. What answer raises is raised here."""
        raised: List[BaseException] = []

        def ask(_user: Any, question: bytes, reply: Any) -> None:
            try:
                path = answer(decode(question)) if answer is not None else None
                if path is not None:
                    self._c.k4x_set_answer(reply, encode(os.fspath(path)))
            except BaseException as error:  # ctypes would print it and go on
                raised.append(error)

        question = _capi.QUESTION(ask) if answer is not None else _capi.QUESTION()
        path = self._text(self._c.k4x_out_file, encode(cpu), question, None, allowed=(_capi.NOT_FOUND,))
        if raised:
            raise raised[0]
        return path

    def _properties(self) -> Iterator[Tuple[str, int]]:
        count = ctypes.c_size_t()
        self._call(self._c.k4x_property_count, ctypes.byref(count))
        for index in range(count.value):
            name, kind = ctypes.c_char_p(), ctypes.c_int()
            self._call(self._c.k4x_property_at, index, ctypes.byref(name), ctypes.byref(kind))
            yield decode(name.value or b""), kind.value

    def _call(self, function: Any, *arguments: Any, allowed: Tuple[int, ...] = ()) -> int:
        """Runs one C call; a failure raises K4xError with the handle's text, taken under the same lock."""
        with self._lock:
            self._refuse_reentry()
            if self._handle is None:
                raise K4xError(_capi.BAD_ARGUMENT, "the manager is closed")
            self._busy = True
            try:
                status = function(self._handle, *arguments)
                if status not in (_capi.OK,) + allowed:
                    raise K4xError(status, self._last_error())
                return int(status)
            finally:
                self._busy = False

    def _refuse_reentry(self) -> None:
        if self._busy:
            raise K4xError(_capi.BAD_ARGUMENT, "an out_file answer cannot use the manager that asks it")

    def _text(self, function: Any, *arguments: Any, allowed: Tuple[int, ...] = ()) -> Any:
        """A text that a C call copies out, asked again with room enough; None for an allowed failure."""
        size = 256
        while True:
            buffer, length = ctypes.create_string_buffer(size), ctypes.c_size_t()
            status = self._call(function, *arguments, buffer, size, ctypes.byref(length),
                                allowed=allowed + (_capi.BUFFER_TOO_SMALL,))
            if status != _capi.BUFFER_TOO_SMALL:
                return decode(buffer.raw[:length.value]) if status == _capi.OK else None
            size = length.value + 1

    def _last_error(self) -> str:
        buffer, length = ctypes.create_string_buffer(1024), ctypes.c_size_t()
        self._c.k4x_last_error(self._handle, buffer, len(buffer), ctypes.byref(length))
        return decode(buffer.raw[:min(length.value, len(buffer) - 1)])
