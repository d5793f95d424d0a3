// The text configuration reader. Every entry keeps to the field limit and
// carries the trimming the format promises, comes from the text in order,
// and uses up input, so a read always ends; an entry the writer can write
// reads back unchanged.
#include "FuzzTarget.h"
#include "K4xTextFormat.h"

#include <string>

namespace {

using K4xFormat::TextReader;

// The text as the reader sees it: CR LF counts as LF.
std::string AsTextMode(const std::string& bytes)
{
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const bool lineEndCr = bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n';
        if (!lineEndCr) text += bytes[i];
    }
    return text;
}

void CheckFields(std::string_view name, std::string_view value)
{
    FuzzCheck(name.size() <= TextReader::kMaxField, "name longer than the field limit");
    FuzzCheck(value.size() <= TextReader::kMaxField, "value longer than the field limit");
    FuzzCheck(name.find('=') == std::string::npos, "name holds '='");
    FuzzCheck(name.empty() || name.back() != ' ', "name ends in a blank");
    FuzzCheck(value.find('\n') == std::string::npos, "value runs across a line end");
    FuzzCheck(value.empty() || (value[0] != ' ' && value[0] != '='), "value starts with a blank or '='");
}

// Carriage returns are left out, as text mode folds one before a line feed,
// and so are names with a NUL, which the writer takes as C strings.
void CheckRoundTrip(std::string_view name, std::string_view value)
{
    if (name.empty() || name.find('\0') != std::string::npos || name.find('\r') != std::string::npos ||
        value.find('\r') != std::string::npos) {
        return;
    }
    const std::string line = K4xFormat::FormatTextLine(name, std::string(value));
    if (line.empty()) return;
    TextReader reader(line);
    K4xFormat::TextEntry read;
    const TextReader::Result result = reader.Next(read);
    FuzzCheck(result == TextReader::Result_Entry || result == TextReader::Result_UnknownName,
              "written line does not read back");
    FuzzCheck(read.name == name && read.value == value, "written entry reads back changed");
    FuzzCheck(reader.Next(read) == TextReader::Result_End, "written line reads back as two");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = AsTextMode(bytes);
    TextReader reader(bytes);
    K4xFormat::TextEntry entry;
    std::size_t entries = 0;
    std::size_t cursor = 0;  // behind the last entry's value in the text
    TextReader::Result result;
    // Reading goes on behind a name that no file holds, where a load stops.
    while ((result = reader.Next(entry)) == TextReader::Result_Entry || result == TextReader::Result_UnknownName) {
        FuzzCheck(++entries <= text.size(), "more entries than characters");
        CheckFields(entry.name, entry.value);
        cursor = text.find(entry.name, cursor);
        FuzzCheck(cursor != std::string::npos, "name not found in the text in order");
        cursor = text.find(entry.value, cursor + entry.name.size());
        FuzzCheck(cursor != std::string::npos, "value not found behind its name");
        cursor += entry.value.size();
        CheckRoundTrip(entry.name, entry.value);
    }
    if (result != TextReader::Result_End) {
        FuzzCheck(text.size() - cursor > TextReader::kMaxField, "too long with no long field left");
    } else {
        FuzzCheck(reader.Next(entry) == TextReader::Result_End, "end of the text is not final");
    }
    return 0;
}
