#include "K4xStore.h"

#include "K4xTemporaryFile.h"
#include "Platform.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {

using k4xplatform::File;

k4xplatform::SystemCallTable& Calls() { return k4xplatform::SystemCalls(); }

// Every result counts: a short write, a failed flush, sync or close each
// mean bytes that may not be in the file. The sync goes through the handle
// that wrote them, which no other program can hold up.
bool WriteAndClose(File file, const std::string& text, bool sync)
{
    const bool written = Calls().write(text.data(), 1, text.size(), file) == text.size();
    const bool flushed = Calls().flush(file) && (!sync || Calls().sync(file));
    const bool closed = Calls().close(file);
    return written && flushed && closed;
}

std::string DirectoryOf(const std::string& path) { return path.substr(0, path.find_last_of("/\\") + 1); }

// Truncating the file gives up its old contents, so the save fails before
// the file is touched when the volume that holds it, through any link, has
// no room for what the new text adds. A file yet to be made is asked about
// through its folder.
bool RoomInPlace(const std::string& path, std::size_t size)
{
    uint64_t current = 0;
    const bool exists = k4xplatform::FileSize(path.c_str(), current);
    if (exists && current >= size) return true;
    const std::string folder = exists ? k4xplatform::FolderOfFinalFile(path.c_str()) : DirectoryOf(path);
    if (exists && folder.empty()) return false;
    uint64_t available = 0;
    return Calls().freeDiskSpace(folder.empty() ? nullptr : folder.c_str(), available) && available >= size - current;
}

// The bytes that the text takes in a file written in text mode.
std::size_t StoredSize(const std::string& text)
{
    const bool crlf = k4xplatform::kTextLineFeedsAsCrLf;
    return text.size() + (crlf ? static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) : 0);
}

// A file that this write makes and then fails to fill is removed again
// (the target a link resolves to, as the probe does): a failed first save
// leaves no empty file.
bool WriteInPlace(const std::string& path, const std::string& text)
{
    if (!RoomInPlace(path, StoredSize(text))) return false;
    const bool existed = k4xplatform::PathExists(path.c_str());
    const File file = Calls().open(path.c_str(), "w");
    if (!k4xplatform::IsOpen(file)) return false;
    if (WriteAndClose(file, text, false)) return true;
    if (!existed) Calls().remove(k4xplatform::ReplaceableTarget(path.c_str()).c_str());
    return false;
}

// A second hard link would go on holding the old contents.
bool ReplacementLoses(const std::string& target)
{
    k4xplatform::FileStatus status;
    const bool linked = Calls().status(target.c_str(), status) && status.links > 1;
    return linked || k4xplatform::ReplacementDropsAttributes(target.c_str());
}

enum Written {
    Written_Whole,    // the temporary file holds the whole text, with the target's permissions and owner
    Written_Refused,  // no temporary file could be had as the target's twin; none is left
    Written_Failed,   // the text did not reach the temporary file
};

// Only the owner may open the temporary file until it has the target's
// access; a new target gets a new file's.
Written WriteTemporary(k4xstore::TemporaryFile& temporary, const std::string& target, const std::string& text)
{
    const bool replacing = k4xplatform::PathExists(target.c_str());
    if (!k4xstore::CreateTemporaryFile(DirectoryOf(target), replacing, temporary)) return Written_Refused;
    if (!k4xplatform::CopyFileAccess(target.c_str(), temporary.file)) {
        Calls().close(temporary.file);
        Calls().remove(temporary.path.c_str());
        return Written_Refused;
    }
    return WriteAndClose(temporary.file, text, true) ? Written_Whole : Written_Failed;
}

// A replacement that failed half-way has left the temporary file the only
// whole copy: it is moved into place, or the text written there, and it is
// removed only once the target holds the text.
bool MoveIntoPlace(const std::string& temporary, const std::string& target, const std::string& text)
{
    if (Calls().rename(temporary.c_str(), target.c_str()) == k4xplatform::Rename_Done) return true;
    if (!WriteInPlace(target, text)) return false;
    Calls().remove(temporary.c_str());
    return true;
}

}  // namespace

namespace k4xstore {

// Opening for appending creates a missing file without touching an
// existing one. A file that only the probe created is removed again: the
// target it now resolves to, so that a dangling link stays a link.
bool CanOpenForWriting(const std::string& path)
{
    const bool existed = k4xplatform::PathExists(path.c_str());
    const File probe = Calls().open(path.c_str(), "a");
    if (!k4xplatform::IsOpen(probe)) return false;
    Calls().close(probe);
    if (!existed) Calls().remove(k4xplatform::ReplaceableTarget(path.c_str()).c_str());
    return true;
}

bool WriteFileDurably(const std::string& path, const std::string& text)
{
    const std::string target = k4xplatform::ReplaceableTarget(path.c_str());
    if (target.empty() || ReplacementLoses(target)) return WriteInPlace(path, text);
    RemoveStaleTemporaryFiles(DirectoryOf(target));
    TemporaryFile temporary;
    const Written written = WriteTemporary(temporary, target, text);
    if (written == Written_Whole) {
        switch (Calls().rename(temporary.path.c_str(), target.c_str())) {
        case k4xplatform::Rename_Done:
            return true;
        case k4xplatform::Rename_TargetGone:
            return MoveIntoPlace(temporary.path, target, text);
        case k4xplatform::Rename_Refused:
            break;
        }
    }
    if (written != Written_Refused) Calls().remove(temporary.path.c_str());
    return written != Written_Failed && WriteInPlace(target, text);
}

}  // namespace k4xstore
