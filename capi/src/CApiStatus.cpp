// The C calls that need no handle: this interface's version and the
// meaning of each status.
#include "k4xtrace_c.h"

extern "C" {

K4X_C_API const char* k4x_version(void) { return K4X_C_VERSION; }

K4X_C_API const char* k4x_status_text(k4x_status status)
{
    switch (status) {
    case K4X_OK:
        return "done";
    case K4X_FAILED:
        return "the library refused the operation";
    case K4X_NO_LIBRARY:
        return "the configuration library cannot be loaded or lacks its exports";
    case K4X_BAD_ARGUMENT:
        return "a missing or wrong argument";
    case K4X_WRONG_TYPE:
        return "the property holds another type of value";
    case K4X_BUFFER_TOO_SMALL:
        return "the text does not fit the buffer";
    case K4X_NOT_FOUND:
        return "not known";
    case K4X_NO_MEMORY:
        return "out of memory";
    case K4X_EXCEPTION:
        return "the library or a library it loaded raised an error";
    }
    return "unknown status";
}
}
