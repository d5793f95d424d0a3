// Every text that the manager leaves for GetErrorMessage, spelled as hosts
// have always seen it (the misspelt "Invalide" included).
#pragma once

#include "K4xTextFormat.h"

namespace k4xerrortext {

// Properties, and any operation that runs out of memory.
constexpr char kInvalidPropertyName[] = "Invalide property name";
constexpr char kMemoryAllocation[] = "Memory allocation failure";

// Loading and saving configurations.
constexpr char kInvalidFileType[] = "Invalid file type";
constexpr char kFailedToOpen[] = "Failed to open file";
constexpr char kFailedToWrite[] = "Failed to write file";
constexpr char kEntryTooLong[] = "Configuration entry longer than 1023 characters";
static_assert(k4xformat::TextReader::kMaxField == 1023, "kEntryTooLong names the reader's field limit");
// Followed by the property's name and kValueTooLongTail.
constexpr char kValueTooLongHead[] = "Value of ";
constexpr char kValueTooLongTail[] = " too long for a text configuration line";
constexpr char kPayloadTooLarge[] = "Configuration too large for a TDF section";

// The live connection.
constexpr char kCannotLoadDriver[] = "Cannot load channel driver.";
constexpr char kNoDriverEntry[] = "Could not get channel driver proc address.";
constexpr char kNoDriverInstance[] = "Could not connect to channel driver instance.";

}  // namespace k4xerrortext
