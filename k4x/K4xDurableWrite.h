// Replacing a file's contents so that a failure at any point leaves the old
// file as it was: the new text goes to a temporary file beside the target,
// and only when every byte of it is written, flushed and closed does it
// take the target's place, in one step.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

enum class DurableWriteResult {
    Written,      // the target holds the new text
    CannotOpen,   // the target cannot be opened for writing; nothing changed
    WriteFailed,  // the new text did not reach the file; the old file stays
};

// Writes text in text mode: each line feed becomes the platform's line end.
DurableWriteResult WriteFileDurably(const std::string& path, const std::string& text);

// Test seam: the function that writes the new bytes into the temporary
// file, a plain fwrite unless a test installs a failing one. Returns the
// function it replaces.
using DurableWriteFunction = std::size_t (*)(const void* data, std::size_t size, std::size_t count, std::FILE* file);
DurableWriteFunction SetDurableWriteFunction(DurableWriteFunction function);
