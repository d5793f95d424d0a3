// What a k4x_manager handle holds, and the helpers that every C call of
// this layer shares: argument checks, failure texts, text copies and the
// net that turns exceptions into statuses.
#pragma once

#include "ConfigLibrary.h"
#include "k4xtrace_c.h"

#include <exception>
#include <initializer_list>
#include <memory>
#include <new>
#include <string>

struct k4x_manager {
    k4xhost::ConfigLibrary library;
    std::unique_ptr<k4xhost::Device> device;
    std::string error;
    std::string libraryVersion;  // once asked
};

namespace k4xc {

// Loads the configuration library (null: the one beside this library) and
// makes the handle's manager; the handle keeps what it got on failure.
k4x_status Open(k4x_manager& handle, const char* library, const char* cpuName, uint32_t first, uint32_t second);

// Destroys the manager and unloads the library.
void Close(k4x_manager& handle);

// Records the failure, text followed by detail, on the handle (when there
// is one) and returns status.
k4x_status Fail(k4x_manager* handle, k4x_status status, const char* text, const char* detail = "") noexcept;
inline k4x_status Fail(k4x_manager* handle, k4x_status status, const std::string& text) noexcept
{
    return Fail(handle, status, text.c_str());
}

// K4X_OK when the handle holds a manager and every pointer is set; else
// K4X_BAD_ARGUMENT with the reason. Inline: it is on every call's way.
inline k4x_status Check(k4x_manager* handle, std::initializer_list<const void*> pointers)
{
    if (handle == nullptr) return K4X_BAD_ARGUMENT;
    if (handle->device == nullptr)
        return Fail(handle, K4X_BAD_ARGUMENT, "the handle holds no manager: k4x_open failed");
    for (const void* pointer : pointers) {
        if (pointer == nullptr) return Fail(handle, K4X_BAD_ARGUMENT, "a required argument is NULL");
    }
    return K4X_OK;
}

// Copies text out as the header describes; K4X_BUFFER_TOO_SMALL is
// recorded on the handle.
k4x_status CopyOut(k4x_manager* handle, const std::string& text, char* buffer, size_t size, size_t* length);

// Runs the body of a C call; what it throws becomes a status and a text.
template <typename Body>
k4x_status Guarded(k4x_manager* handle, Body&& body) noexcept
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return Fail(handle, K4X_NO_MEMORY, "out of memory");
    } catch (const std::exception& error) {
        return Fail(handle, K4X_EXCEPTION, "exception: ", error.what());
    } catch (...) {
        return Fail(handle, K4X_EXCEPTION, "exception of an unknown type");
    }
}

}  // namespace k4xc
