// Replacing a file's contents so that a failure at any point leaves the old
// file as it was: the new text goes to a new temporary file beside the
// target, with the target's permissions and owner, and only when every byte
// of it is written, on the disk and closed does it take the target's place,
// in one step. A symbolic link is written through to its target. Where no such
// temporary file can be had (a folder the user may not write), the target
// cannot be replaced (another program holds it open on Windows) or a
// replacement would lose what the file carries (a second hard link, an ACL
// or extended attributes), the file is written in place, every write
// checked: it is left untouched when its volume lacks the room, and may hold
// part of the new text when a write fails.
#pragma once

#include <string>

namespace k4xstore {

// The file opens for writing: a missing one could be created (the probe
// removes it again), an existing one is left as it was.
bool CanOpenForWriting(const std::string& path);

// Writes text in text mode: each line feed becomes the platform's line end.
// False when the new text did not reach the file; unless it was written in
// place, the old file then stays whole.
bool WriteFileDurably(const std::string& path, const std::string& text);

}  // namespace k4xstore
