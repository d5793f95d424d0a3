#include "K4xDurableWrite.h"

#include "Platform.h"
#include "uSystemCalls.h"

#include <cstdio>

namespace {

// Opening for appending creates a missing file without touching an
// existing one; a file that only the probe created is removed again.
bool CanOpenForWriting(const std::string& path)
{
    const bool existed = ZR_KDT::platform::PathExists(path.c_str());
    std::FILE* probe = ZR_KDT::SystemCalls().openFile(path.c_str(), "a");
    if (probe == nullptr) return false;
    std::fclose(probe);
    if (!existed) std::remove(path.c_str());
    return true;
}

// Every result counts: a short write, a failed flush or a failed close
// each mean bytes that may not be in the file.
bool WriteWholeFile(const std::string& path, const std::string& text)
{
    std::FILE* file = ZR_KDT::SystemCalls().openFile(path.c_str(), "w");
    if (file == nullptr) return false;
    const bool written = ZR_KDT::SystemCalls().writeFile(text.data(), 1, text.size(), file) == text.size();
    const bool flushed = std::fflush(file) == 0;
    const bool closed = std::fclose(file) == 0;
    return written && flushed && closed;
}

}  // namespace

DurableWriteResult WriteFileDurably(const std::string& path, const std::string& text)
{
    if (!CanOpenForWriting(path)) return DurableWriteResult::CannotOpen;
    // Beside the target, so that the replacement stays on one volume; the
    // process and thread ids keep two savers apart. The name is short so
    // that a target near the path-length limit still has room beside it.
    const std::string directory = path.substr(0, path.find_last_of("/\\") + 1);
    const std::string temporary = directory + "~k4x" + std::to_string(ZR_KDT::platform::CurrentProcessId()) + "-" +
                                  std::to_string(ZR_KDT::platform::CurrentThreadId()) + ".tmp";
    if (WriteWholeFile(temporary, text) && ZR_KDT::platform::ReplaceFile(temporary.c_str(), path.c_str())) {
        return DurableWriteResult::Written;
    }
    std::remove(temporary.c_str());
    return DurableWriteResult::WriteFailed;
}
