// The text configuration reader. Entries are views of the text, one behind
// the other and no longer than the field limit, so a read ends and gives
// nothing the file does not hold; an entry that the writer can write reads
// back unchanged (which also holds the trimming rules); the end stays the
// end. What a given text reads as is pinned by the load rows of tests/k4x.
#include "FuzzTarget.h"
#include "K4xTextFormat.h"

#include <string>

namespace {

using k4xformat::TextReader;

// Carriage returns are left out, as text mode folds one before a line feed,
// and so are names with a NUL, which the writer takes as C strings.
void CheckRoundTrip(std::string_view name, std::string_view value)
{
    if (name.find_first_of(std::string("\r\0", 2)) != std::string::npos || value.find('\r') != std::string::npos) {
        return;
    }
    const std::string line = k4xformat::FormatTextLine(name, std::string(value));
    if (line.empty()) return;
    TextReader reader(line);
    k4xformat::TextEntry read;
    const TextReader::Result result = reader.Next(read);
    FuzzCheck((result == TextReader::Result_Entry || result == TextReader::Result_UnknownName) && read.name == name &&
                  read.value == value && reader.Next(read) == TextReader::Result_End,
              "a written entry reads back changed");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    TextReader reader(std::string(reinterpret_cast<const char*>(data), size));
    k4xformat::TextEntry entry;
    // Views into the reader's one text: the first name and the last value's end.
    const char* first = nullptr;
    const char* behind = nullptr;
    TextReader::Result result;
    // Reading goes on behind a name that no file holds, where a load stops.
    while ((result = reader.Next(entry)) == TextReader::Result_Entry || result == TextReader::Result_UnknownName) {
        if (first == nullptr) first = behind = entry.name.data();
        FuzzCheck(!entry.name.empty() && entry.name.size() <= TextReader::kMaxField &&
                      entry.value.size() <= TextReader::kMaxField,
                  "a field empty or longer than the limit");
        FuzzCheck(entry.name.data() >= behind && entry.name.data() + entry.name.size() <= entry.value.data(),
                  "an entry before the last one's end, or a value before its name");
        behind = entry.value.data() + entry.value.size();
        FuzzCheck(static_cast<std::size_t>(behind - first) <= size, "entries span more than the file holds");
        CheckRoundTrip(entry.name, entry.value);
    }
    FuzzCheck(result != TextReader::Result_End || reader.Next(entry) == TextReader::Result_End,
              "the end of the text is not final");
    return 0;
}
