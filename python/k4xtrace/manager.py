"""The configuration manager of one CPU, through the C interface."""
import ctypes
import os
import threading
import weakref
from typing import Any, Callable, Dict, Iterator, List, MutableMapping, NamedTuple, Optional, Tuple, Type, Union

from . import _capi
from ._capi import K4xError, PropertyTypeError, UnknownPropertyError, decode, encode
from ._constants import FileType, PropertyType, Status

Value = Union[int, bool, str]
"""A property's value: int for the integers, bool for the booleans, str for the texts."""

Answer = Callable[[str], Optional[Union[str, "os.PathLike[str]"]]]
"""The host's answer: given the library's question ("Application for " and the CPU name), the path of an
existing output file, or None."""


class DeviceInfo(NamedTuple):
    """The CPU and the two numbers that a manager was made with."""

    cpu_name: str
    first_number: int
    second_number: int


_SETTERS = ((bool, "k4x_set_bool"), (int, "k4x_set_int"), (str, "k4x_set_text"))


class Manager(MutableMapping[str, Value]):
    """The configuration manager of one CPU: a mutable mapping from property names to values, and a context
    manager that closes it.

    The keys are the properties that the library knows, in the order saves write them; values are int, bool
    or str. An unknown name raises UnknownPropertyError (a KeyError), a value of the wrong type
    PropertyTypeError (a TypeError); every failure is a K4xError with the library's text. Properties cannot be
    deleted. One call at a time runs on a manager, whichever thread makes it.
    """

    def __init__(self, cpu: str, *, library: Optional[str] = None,
                 config_library: Optional[Union[str, "os.PathLike[str]"]] = None,
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
        if status != Status.OK:
            error = K4xError(status, self._last_error())
            self.close()
            raise error
        self._types: Dict[str, PropertyType] = dict(self._properties())

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

    def __len__(self) -> int:
        return len(self._types)

    def __iter__(self) -> Iterator[str]:
        return iter(self._types)

    def __contains__(self, name: object) -> bool:
        return name in self._types

    def __getitem__(self, name: str) -> Value:
        kind = self._types.get(name, PropertyType.INTEGER)
        if kind == PropertyType.TEXT:
            text: str = self._text(self._c.k4x_get_text, encode(name), name=name)
            return text
        value = ctypes.c_int32() if kind == PropertyType.INTEGER else ctypes.c_int()
        self._call(self._c.k4x_get_int if kind == PropertyType.INTEGER else self._c.k4x_get_bool, encode(name),
                   ctypes.byref(value), name=name)
        return value.value if kind == PropertyType.INTEGER else bool(value.value)

    def __setitem__(self, name: str, value: Value) -> None:
        for kind, setter in _SETTERS:
            if isinstance(value, kind):
                self._call(getattr(self._c, setter), encode(name), encode(value) if isinstance(value, str) else value,
                           name=name)
                return
        raise PropertyTypeError(Status.WRONG_TYPE,
                                "a property value is an int, a bool or a str, not " + type(value).__name__)

    def __delitem__(self, name: str) -> None:
        raise K4xError(Status.BAD_ARGUMENT, "a property cannot be deleted: " + name)

    def device_info(self) -> DeviceInfo:
        """The CPU name and the two numbers given when the manager was made."""
        first, second = ctypes.c_uint32(), ctypes.c_uint32()
        name: str = self._text(self._c.k4x_device_info, ctypes.byref(first), ctypes.byref(second))
        return DeviceInfo(name, first.value, second.value)

    def load(self, file: Union[str, "os.PathLike[str]"], file_type: FileType = FileType.TEXT) -> None:
        """Loads the configuration: a TEXT file by name from the settings directory, a TDF container by path."""
        self._call(self._c.k4x_load, encode(os.fspath(file)), int(file_type))

    def save(self, file: Union[str, "os.PathLike[str]"], file_type: FileType = FileType.TEXT) -> None:
        """Saves the configuration, to the same stores as load."""
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

        question = _capi.QUESTION(ask) if answer is not None else _capi.QUESTION(0)  # 0: none is asked
        path: Optional[str] = self._text(self._c.k4x_out_file, encode(cpu), question, None,
                                         allowed=(Status.NOT_FOUND,))
        if raised:
            raise raised[0]
        return path

    def _properties(self) -> Iterator[Tuple[str, PropertyType]]:
        count = ctypes.c_size_t()
        self._call(self._c.k4x_property_count, ctypes.byref(count))
        for index in range(count.value):
            name, kind = ctypes.c_char_p(), ctypes.c_int()
            self._call(self._c.k4x_property_at, index, ctypes.byref(name), ctypes.byref(kind))
            yield decode(name.value or b""), PropertyType(kind.value)

    def _call(self, function: Any, *arguments: Any, allowed: Tuple[int, ...] = (), name: Optional[str] = None) -> int:
        """Runs one C call; a failure raises K4xError with the handle's text, taken under the same lock.
        name: the property that the call is about, for the error's kind."""
        with self._lock:
            self._refuse_reentry()
            if self._handle is None:
                raise K4xError(Status.BAD_ARGUMENT, "the manager is closed")
            self._busy = True
            try:
                status = int(function(self._handle, *arguments))
                if status not in (Status.OK,) + allowed:
                    raise self._error_kind(status, name)(status, self._last_error())
                return status
            finally:
                self._busy = False

    def _error_kind(self, status: int, name: Optional[str]) -> Type[K4xError]:
        if status == Status.WRONG_TYPE:
            return PropertyTypeError
        return UnknownPropertyError if name is not None and name not in self._types else K4xError

    def _refuse_reentry(self) -> None:
        if self._busy:
            raise K4xError(Status.BAD_ARGUMENT, "an out_file answer cannot use the manager that asks it")

    def _text(self, function: Any, *arguments: Any, allowed: Tuple[int, ...] = (), name: Optional[str] = None) -> Any:
        """A text that a C call copies out, asked again with room enough; None for an allowed failure."""
        size = 256
        while True:
            buffer, length = ctypes.create_string_buffer(size), ctypes.c_size_t()
            status = self._call(function, *arguments, buffer, size, ctypes.byref(length),
                                allowed=allowed + (Status.BUFFER_TOO_SMALL,), name=name)
            if status != Status.BUFFER_TOO_SMALL:
                return decode(buffer.raw[:length.value]) if status == Status.OK else None
            size = length.value + 1

    def _last_error(self) -> str:
        return decode(self._c.k4x_error_text(self._handle) or b"")
