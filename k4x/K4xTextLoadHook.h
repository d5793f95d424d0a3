// Test seam: a function that the text load calls between its probe of a
// settings file and the open that reads it, so that a test can take the
// file away in that gap without racing. None is installed normally.
#pragma once

#include <string>

using TextLoadHook = void (*)(const std::string& path);

// Installs `hook` (null: none); returns the one it replaces.
TextLoadHook SetTextLoadHook(TextLoadHook hook);
