"""The constants of the C interface, written by generate_constants.py from
its header, k4xtrace_c.h: change the header and run it, never this file."""
import enum


class Status(enum.IntEnum):
    """The C interface's k4x_status: what a call gives back; k4x_status_text says it in words."""

    OK = 0
    FAILED = 1  # the library refused the operation
    NO_LIBRARY = 2  # the configuration library cannot be loaded or lacks its exports
    BAD_ARGUMENT = 3  # NULL or empty where a value is needed, an index out of range
    WRONG_TYPE = 4  # the property holds another type of value
    BUFFER_TOO_SMALL = 5  # the text did not fit; *length tells its length
    NOT_FOUND = 6  # nothing is known: no output file for the CPU, no version
    NO_MEMORY = 7  # an allocation failed
    EXCEPTION = 8  # the library or a library it loaded raised an error


class PropertyType(enum.IntEnum):
    """The C interface's k4x_type: the type codes of the library's properties."""

    INTEGER = 2
    BOOLEAN = 5
    TEXT = 6


class FileType(enum.IntEnum):
    """The C interface's k4x_file_type: the stores of k4x_load and k4x_save."""

    TDF = 0  # the AETCONFIG section of a TDF container, by path
    TEXT = 1  # a text file in the settings directory, by name
    DCM = 2  # saves: the same with ".dcm" added; loads read nothing
    TEXT_ALIAS = 4  # loads: the same as K4X_FILE_TEXT; saves refuse it
