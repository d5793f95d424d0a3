#include "uSystemCalls.h"

#include "Platform.h"

namespace ZR_KDT {

namespace {

std::FILE* OpenFile(const char* path, const char* mode) { return std::fopen(path, mode); }

std::size_t WriteFile(const void* data, std::size_t size, std::size_t count, std::FILE* file)
{
    return std::fwrite(data, size, count, file);
}

void NoTextProbeHook(const char*) {}

uSystemCalls SystemsOwn()
{
    return {platform::FreeDiskSpace, OpenFile, WriteFile, NoTextProbeHook, platform::DebugOutput,
            platform::ReadLocalTime};
}

}  // namespace

uSystemCalls& SystemCalls()
{
    // Made on first use: static objects of other files may log before this
    // file's own static objects exist.
    static uSystemCalls calls = SystemsOwn();
    return calls;
}

void ResetSystemCalls() { SystemCalls() = SystemsOwn(); }

}  // namespace ZR_KDT
