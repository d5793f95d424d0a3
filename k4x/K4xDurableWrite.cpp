#include "K4xDurableWrite.h"

#include "Platform.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {

ZR_KDT::platform::SystemCallTable& Calls() { return ZR_KDT::platform::SystemCalls(); }

// Every result counts: a short write, a failed flush or a failed close
// each mean bytes that may not be in the file.
bool WriteAndClose(std::FILE* file, const std::string& text)
{
    const bool written = Calls().write(text.data(), 1, text.size(), file) == text.size();
    const bool flushed = Calls().flush(file);
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
    const bool exists = ZR_KDT::platform::FileSize(path.c_str(), current);
    if (exists && current >= size) return true;
    const std::string directory = DirectoryOf(path);
    const char* volume = exists ? path.c_str() : directory.empty() ? nullptr : directory.c_str();
    uint64_t available = 0;
    return Calls().freeDiskSpace(volume, available) && available >= size - current;
}

// The bytes that the text takes in a file written in text mode.
std::size_t StoredSize(const std::string& text)
{
    const bool crlf = ZR_KDT::platform::kTextLineFeedsAsCrLf;
    return text.size() + (crlf ? static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) : 0);
}

bool WriteInPlace(const std::string& path, const std::string& text)
{
    if (!RoomInPlace(path, StoredSize(text))) return false;
    std::FILE* file = Calls().open(path.c_str(), "w");
    return file != nullptr && WriteAndClose(file, text);
}

// Beside the target, so that the replacement stays on one volume; the
// process and thread ids keep two savers apart. The name is short so that a
// target near the path-length limit still has room beside it.
std::string TemporaryBeside(const std::string& target)
{
    return DirectoryOf(target) + "~k4x" + std::to_string(ZR_KDT::platform::CurrentProcessId()) + "-" +
           std::to_string(ZR_KDT::platform::CurrentThreadId()) + ".tmp";
}

enum TemporaryFile {
    TemporaryFile_Written,  // holds the whole text, with the target's permissions and owner
    TemporaryFile_Refused,  // could not be had as the target's twin; nothing was written
    TemporaryFile_Failed,   // the text did not reach it
};

TemporaryFile WriteTemporary(const std::string& temporary, const std::string& target, const std::string& text)
{
    std::FILE* file = Calls().open(temporary.c_str(), "w");
    if (file == nullptr) return TemporaryFile_Refused;
    if (!ZR_KDT::platform::CopyFileAccess(target.c_str(), file)) {
        Calls().close(file);
        return TemporaryFile_Refused;
    }
    return WriteAndClose(file, text) ? TemporaryFile_Written : TemporaryFile_Failed;
}

}  // namespace

namespace K4xStore {

// Opening for appending creates a missing file without touching an
// existing one. A file that only the probe created is removed again: the
// target it now resolves to, so that a dangling link stays a link.
bool CanOpenForWriting(const std::string& path)
{
    const bool existed = ZR_KDT::platform::PathExists(path.c_str());
    std::FILE* probe = Calls().open(path.c_str(), "a");
    if (probe == nullptr) return false;
    Calls().close(probe);
    if (!existed) Calls().remove(ZR_KDT::platform::ReplaceableTarget(path.c_str()).c_str());
    return true;
}

bool WriteFileDurably(const std::string& path, const std::string& text)
{
    const std::string target = ZR_KDT::platform::ReplaceableTarget(path.c_str());
    if (target.empty() || ZR_KDT::platform::ReplacementLoses(target.c_str())) return WriteInPlace(path, text);
    const std::string temporary = TemporaryBeside(target);
    const TemporaryFile written = WriteTemporary(temporary, target, text);
    if (written == TemporaryFile_Written && Calls().replace(temporary.c_str(), target.c_str())) {
        return true;
    }
    Calls().remove(temporary.c_str());
    return written != TemporaryFile_Failed && WriteInPlace(target, text);
}

}  // namespace K4xStore
