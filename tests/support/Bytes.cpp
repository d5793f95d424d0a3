#include "Bytes.h"

namespace k4xtest {

std::string StoredText(const std::string& text)
{
    if (!K4X_CRLF_FILES) return text;
    std::string stored;
    for (const char c : text) stored += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return stored;
}

}  // namespace k4xtest
