// The trace properties of a K4x CPU as text: how a value from the command
// line becomes a record, and how a record is shown.
#pragma once

#include "DeviceConfigManager.h"

#include <string>

namespace k4xtrace {

using Zr::Kdt::Trace::PropertyValue;

// Fills value.intValue, boolValue or strValue from text according to
// value.type (as GetProperty reported it). False, with the reason in
// error, for text that is no value of that type.
bool ParseValue(const std::string& text, PropertyValue& value, std::string& error);

// The value as a person reads it: text quoted, with control characters
// and quotes escaped as in C.
std::string DisplayValue(const PropertyValue& value);

// The value as a script reads it: text as stored, booleans true/false.
std::string PlainValue(const PropertyValue& value);

// The value as JSON: a number, true/false, or a string.
std::string JsonValue(const PropertyValue& value);

// text as a JSON string, quotes included.
std::string JsonString(const std::string& text);

}  // namespace k4xtrace
