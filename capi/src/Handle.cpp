#include "Handle.h"

#include <algorithm>
#include <cstring>

namespace k4xc {

k4x_status Fail(k4x_manager* handle, k4x_status status, const char* text, const char* detail) noexcept
{
    if (handle == nullptr) return status;
    try {
        handle->error.assign(text).append(detail);
    } catch (...) {
        // Short enough for the string's own buffer: this assignment allocates nothing.
        handle->error = "out of memory";
    }
    return status;
}

k4x_status CopyOut(k4x_manager* handle, const std::string& text, char* buffer, size_t size, size_t* length)
{
    if (buffer == nullptr && size != 0) return Fail(handle, K4X_BAD_ARGUMENT, "a buffer size without a buffer");
    if (length != nullptr) *length = text.size();
    const size_t copied = size == 0 ? 0 : std::min(size - 1, text.size());
    if (size != 0) {
        std::memcpy(buffer, text.data(), copied);
        buffer[copied] = '\0';
    }
    if (copied == text.size() && size != 0) return K4X_OK;
    return Fail(handle, K4X_BUFFER_TOO_SMALL,
                "a text of " + std::to_string(text.size()) + " bytes does not fit a buffer of " + std::to_string(size));
}

}  // namespace k4xc
