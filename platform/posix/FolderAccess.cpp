// POSIX backend of who may write a folder, by its owner and permission bits.
#include "HostPlatform.h"

#include <sys/stat.h>
#include <unistd.h>

namespace k4xplatform {

FolderWriters WhoMayWrite(const char* folder)
{
    struct stat status;
    if (folder == nullptr || ::stat(folder, &status) != 0) return FolderWriters_Unknown;
    const bool otherOwner = status.st_uid != ::geteuid() && status.st_uid != 0;
    const bool otherGroup = (status.st_mode & S_IWGRP) != 0 && status.st_gid != ::getegid();
    const bool world = (status.st_mode & S_IWOTH) != 0;
    return otherOwner || otherGroup || world ? FolderWriters_Others : FolderWriters_Trusted;
}

}  // namespace k4xplatform
