// Replacing a file's contents so that a failure at any point leaves the old
// file as it was: the new text goes to a temporary file beside the target,
// and only when every byte of it is written, flushed and closed does it
// take the target's place, in one step.
#pragma once

#include <string>

enum class DurableWriteResult {
    Written,      // the target holds the new text
    CannotOpen,   // the target cannot be opened for writing; nothing changed
    WriteFailed,  // the new text did not reach the file; the old file stays
};

// Writes text in text mode: each line feed becomes the platform's line end.
DurableWriteResult WriteFileDurably(const std::string& path, const std::string& text);
