// The version 2 AETCONFIG payload. Whether read line by line or as tokens,
// every pair comes from the text before the first NUL, in order; a name is
// never empty and never spans a separator, a value never spans a line end.
// Which pairs a payload gives is pinned by the payload rows of tests/.
#include "AetConfigPayload.h"
#include "FuzzTarget.h"

#include <algorithm>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    const std::string text(bytes, std::find(bytes, bytes + size, '\0') - bytes);
    const k4xformat::AetConfigPairs pairs = k4xformat::ParseAetConfigVersion2(bytes, size).pairs;
    std::size_t cursor = 0;
    for (const auto& [name, value] : pairs) {
        FuzzCheck(
            !name.empty() && name.find_first_of("=\n") == std::string::npos && value.find('\n') == std::string::npos,
            "an empty name, a name holding '=' or a line feed, or a value holding a line feed");
        cursor = text.find(name, cursor);
        FuzzCheck(cursor != std::string::npos, "name not found before the NUL in order");
        cursor = text.find(value, cursor + name.size());
        FuzzCheck(cursor != std::string::npos, "value not found behind its name");
        cursor += value.size();
    }
    FuzzCheck(text.size() == size || k4xformat::ParseAetConfigVersion2(text.data(), text.size()).pairs == pairs,
              "bytes behind the NUL change the result");
    return 0;
}
