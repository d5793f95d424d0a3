// The text configuration reader. Every entry keeps to the field limit and
// carries the trimming the format promises, comes from the text in order,
// and uses up input, so a read always ends; an entry the writer can write
// reads back unchanged.
#include "FuzzTarget.h"
#include "K4xTextFormat.h"

#include <string>

namespace {

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
    FuzzCheck(name.size() <= K4xTextReader::kMaxField, "name longer than the field limit");
    FuzzCheck(value.size() <= K4xTextReader::kMaxField, "value longer than the field limit");
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
    const std::string line = FormatTextLine(name, std::string(value));
    if (line.empty()) return;
    K4xTextReader reader(line);
    std::string_view readName, readValue;
    FuzzCheck(reader.Next(readName, readValue) == K4xTextReader::Result_Entry, "written line does not read back");
    FuzzCheck(readName == name && readValue == value, "written entry reads back changed");
    FuzzCheck(reader.Next(readName, readValue) == K4xTextReader::Result_End, "written line reads back as two");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = AsTextMode(bytes);
    K4xTextReader reader(bytes);
    std::string_view name, value;
    std::size_t entries = 0;
    std::size_t cursor = 0;  // behind the last entry's value in the text
    K4xTextReader::Result result;
    while ((result = reader.Next(name, value)) == K4xTextReader::Result_Entry) {
        FuzzCheck(++entries <= text.size(), "more entries than characters");
        CheckFields(name, value);
        cursor = text.find(name, cursor);
        FuzzCheck(cursor != std::string::npos, "name not found in the text in order");
        cursor = text.find(value, cursor + name.size());
        FuzzCheck(cursor != std::string::npos, "value not found behind its name");
        cursor += value.size();
        CheckRoundTrip(name, value);
    }
    if (result == K4xTextReader::Result_TooLong) {
        FuzzCheck(text.size() - cursor > K4xTextReader::kMaxField, "too long with no long field left");
    } else {
        FuzzCheck(reader.Next(name, value) == K4xTextReader::Result_End, "end of the text is not final");
    }
    return 0;
}
