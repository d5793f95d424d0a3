// The temporary files of a save, beside its target: each is created new,
// never opened through a name or link that is already there, and one that
// a killed process left behind is removed by a later save in its folder.
#pragma once

#include <string>

#include "Platform.h"

namespace k4xstore {

struct TemporaryFile {
    std::string path;
    k4xplatform::File file;
};

// A new file in folder ("" for the working directory, else ending in a
// separator), named after this process and thread, and another name where
// one is taken. With ownerOnly, no one but its owner may open it until its
// access is changed. False when none could be made.
bool CreateTemporaryFile(const std::string& folder, bool ownerOnly, TemporaryFile& temporary);

// Removes the temporary files in folder that were made by a process that
// no longer runs.
void RemoveStaleTemporaryFiles(const std::string& folder);

}  // namespace k4xstore
