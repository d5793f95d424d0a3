// Reads the text form of a target description (documented with an example
// in simulated-target/README.md):
//
//   # comment            ; comment
//   [cpus]               one "name = output file" line per CPU, in order
//   [twp-source]         "status = <0..4294967295>", "text = <reply text>"
//   [faults]             "<call> = throw | null | throw after <N> | throw other once"
//
// Blanks around names and values are dropped, and a carriage return before
// a line feed belongs to the line end. Each section and each key appears at
// most once. A section that the text leaves out keeps what the target had;
// [cpus] replaces the whole CPU list, so an empty [cpus] means no CPUs.
#pragma once

#include "SimTarget.h"

#include <cstdint>
#include <string>

namespace k4xsim {

// Applies `text` over `target`. False with `error` = "line N: what is
// wrong" when the text is malformed; `target` is then partly updated.
bool ParseTarget(const std::string& text, SimTarget& target, std::string& error);

// The text without the blanks and tabs around it.
std::string Trim(const std::string& text);

// Decimal digits only, at most `limit`.
bool ToNumber(const std::string& text, uint64_t limit, uint64_t& number);

}  // namespace k4xsim
