/* C interface of the K4x trace configuration library.
 *
 * A plain C layer over the library's C++ interface, with a stable ABI for
 * hosts built with any compiler or written in any language that calls C.
 * It loads the configuration library at run time, by default the one in
 * its own folder (K4xTraceCfg.dll; libK4xTraceCfg.so.<major> on Linux),
 * and drives one manager per handle.
 *
 * Results. Every call returns a k4x_status, which k4x_status_text names.
 * After a failure on a handle, k4x_error_text gives its text: the
 * library's own text where this failure set one, else one of this layer
 * that says what this call met. No C++ exception leaves a call.
 *
 * Texts. Names and values are NUL-terminated byte strings in the system's
 * code page. A text that a handle keeps (its failure, the names of the
 * properties, the library's version) comes back as a pointer into the
 * handle, valid as long as its call says. Any other text comes back
 * through a caller's buffer: *length (when length is not NULL) receives
 * the text's length without the NUL; a buffer of fewer than length + 1
 * bytes gives K4X_BUFFER_TOO_SMALL and holds as much of the text as fits,
 * NUL-terminated (nothing when size is 0).
 *
 * Threads. k4x_open and k4x_close may be called from any thread: they are
 * serialised here. The calls on one handle must not overlap: use a handle
 * from one thread at a time. Once the first k4x_open of the process has
 * returned, different handles may be used from different threads at the
 * same time. The question of k4x_out_file is asked on the thread that made
 * that call, inside it; from the question call only k4x_set_answer.
 */
#ifndef K4XTRACE_C_H
#define K4XTRACE_C_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#if defined(K4X_C_BUILDING)
#define K4X_C_API __declspec(dllexport)
#else
#define K4X_C_API __declspec(dllimport)
#endif
#else
#define K4X_C_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* What a call gives back; k4x_status_text says it in words. */
typedef enum k4x_status {
    K4X_OK = 0,
    K4X_FAILED = 1,           /* the library refused the operation */
    K4X_NO_LIBRARY = 2,       /* the configuration library cannot be loaded or lacks its exports */
    K4X_BAD_ARGUMENT = 3,     /* NULL or empty where a value is needed, an index out of range */
    K4X_WRONG_TYPE = 4,       /* the property holds another type of value */
    K4X_BUFFER_TOO_SMALL = 5, /* the text did not fit; *length tells its length */
    K4X_NOT_FOUND = 6,        /* nothing is known: no output file for the CPU, no version */
    K4X_NO_MEMORY = 7,        /* an allocation failed */
    K4X_EXCEPTION = 8         /* the library or a library it loaded raised an error */
} k4x_status;

/* The type codes of the library's properties. */
typedef enum k4x_type { K4X_INTEGER = 2, K4X_BOOLEAN = 5, K4X_TEXT = 6 } k4x_type;

/* The stores of k4x_load and k4x_save. */
typedef enum k4x_file_type {
    K4X_FILE_TDF = 0,       /* the AETCONFIG section of a TDF container, by path */
    K4X_FILE_TEXT = 1,      /* a text file in the settings directory, by name */
    K4X_FILE_DCM = 2,       /* saves: the same with ".dcm" added; loads read nothing */
    K4X_FILE_TEXT_ALIAS = 4 /* loads: the same as K4X_FILE_TEXT; saves refuse it */
} k4x_file_type;

/* The manager of one CPU, and the library it came from. */
typedef struct k4x_manager k4x_manager;

/* Where the question of k4x_out_file puts its answer. */
typedef struct k4x_answer k4x_answer;

/* The host's answer when the library does not know a CPU's output file.
 * question is "Application for " and the CPU name; the answer is given
 * with k4x_set_answer, or not at all. */
typedef void (*k4x_question)(void* user_data, const char* question, k4x_answer* answer);

/* The version of this C interface, as "1.2.3". */
K4X_C_API const char* k4x_version(void);

/* What the status means, in a few words ("unknown status" for a value
 * that is none). */
K4X_C_API const char* k4x_status_text(k4x_status status);

/* Opens a manager for the CPU. library: the configuration library's file,
 * or NULL for the one in this library's folder. first_number and
 * second_number come back from k4x_device_info. *manager
 * receives a handle even when the call fails (then with its reason), and
 * NULL only without memory for it: close every handle with k4x_close. */
K4X_C_API k4x_status k4x_open(const char* library, const char* cpu_name, uint32_t first_number,
                              uint32_t second_number, k4x_manager** manager);

/* Destroys the manager, releases the library and frees the handle; NULL does nothing. */
K4X_C_API k4x_status k4x_close(k4x_manager* manager);

/* The text of the handle's last failure ("" before any), which the handle
 * owns: valid until the next call on it. For NULL (no handle: k4x_open
 * had no memory for one), "out of memory". */
K4X_C_API const char* k4x_error_text(k4x_manager* manager);

/* The same text copied into a buffer. A buffer too small is no new
 * failure: the handle keeps its text. */
K4X_C_API k4x_status k4x_last_error(k4x_manager* manager, char* buffer, size_t size, size_t* length);

/* The version that the loaded configuration library's file carries, as
 * "1.2.3", owned by the handle until k4x_close; K4X_NOT_FOUND for none. */
K4X_C_API k4x_status k4x_library_version(k4x_manager* manager, const char** version);

/* The CPU name and the two numbers given to k4x_open. */
K4X_C_API k4x_status k4x_device_info(k4x_manager* manager, uint32_t* first_number, uint32_t* second_number,
                                     char* buffer, size_t size, size_t* length);

/* The properties that the library knows: their number, and the name (valid
 * until k4x_close) and type of each, index 0 to count - 1. */
K4X_C_API k4x_status k4x_property_count(k4x_manager* manager, size_t* count);
K4X_C_API k4x_status k4x_property_at(k4x_manager* manager, size_t index, const char** name, k4x_type* type);

/* One property by name. A boolean is 0 or 1; a nonzero value sets true. */
K4X_C_API k4x_status k4x_get_int(k4x_manager* manager, const char* name, int32_t* value);
K4X_C_API k4x_status k4x_get_bool(k4x_manager* manager, const char* name, int* value);
K4X_C_API k4x_status k4x_get_text(k4x_manager* manager, const char* name, char* buffer, size_t size,
                                  size_t* length);
K4X_C_API k4x_status k4x_set_int(k4x_manager* manager, const char* name, int32_t value);
K4X_C_API k4x_status k4x_set_bool(k4x_manager* manager, const char* name, int value);
K4X_C_API k4x_status k4x_set_text(k4x_manager* manager, const char* name, const char* value);

/* Loads or saves the configuration. A load that finds nothing to read (a
 * missing file) leaves the library's text as it was: the handle's text
 * then says so. */
K4X_C_API k4x_status k4x_load(k4x_manager* manager, const char* file, k4x_file_type file_type);
K4X_C_API k4x_status k4x_save(k4x_manager* manager, const char* file, k4x_file_type file_type);

/* Connects to the live target and reloads the device's settings file; the
 * target's TWP source then sets "TWP_Protocol". The trace factory and the
 * channel driver are looked for as the library looks for them (PATH). */
K4X_C_API k4x_status k4x_load_live(k4x_manager* manager);

/* The output file of the CPU: from the live target, from earlier answers,
 * or else from question (NULL: none is asked), which must name an existing
 * file. K4X_NOT_FOUND when none is known. */
K4X_C_API k4x_status k4x_out_file(k4x_manager* manager, const char* cpu_name, k4x_question question,
                                  void* user_data, char* buffer, size_t size, size_t* length);

/* Inside a question: the path of the CPU's output file. */
K4X_C_API k4x_status k4x_set_answer(k4x_answer* answer, const char* path);

#ifdef __cplusplus
}
#endif

#endif /* K4XTRACE_C_H */
