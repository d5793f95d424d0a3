#include "uFile.h"

#include <climits>

#include "Platform.h"

namespace ZR_KDT {

uFile::uFile(const char* path, const char* mode)
    : m_bOpen(false), m_sPath(path != nullptr ? path : ""), m_pMode(mode), m_file(k4xplatform::kNoFile)
{
}

uFile::~uFile() = default;

bool uFile::Open(const char* path, const char* mode)
{
    if (path != nullptr) m_sPath = path;
    m_pMode = mode;
    m_file = mode != nullptr ? k4xplatform::SystemCalls().open(m_sPath.c_str(), mode) : k4xplatform::kNoFile;
    m_bOpen = k4xplatform::IsOpen(m_file);
    return m_bOpen;
}

bool uFile::Close()
{
    m_bOpen = false;
    if (!k4xplatform::IsOpen(m_file)) return false;
    uMutex::Hold hold(m_lock);
    // The file is gone whatever the close reports.
    k4xplatform::SystemCalls().close(m_file);
    m_file = k4xplatform::kNoFile;
    return true;
}

int uFile::Write(const void* data, std::size_t count)
{
    uMutex::Hold hold(m_lock);
    return WriteHeld(data, count);
}

bool uFile::Flush()
{
    uMutex::Hold hold(m_lock);
    return FlushHeld();
}

int uFile::WriteAndFlush(const void* data, std::size_t count)
{
    uMutex::Hold hold(m_lock);
    // A file opened only to be read has no stream to write.
    if (!m_bOpen || m_file.stream == nullptr) return 0;
    // The write and the flush would each take the stream's lock; held once,
    // a log line costs two locked instructions fewer.
    k4xplatform::LockStream(m_file.stream);
    const int written = WriteHeld(data, count);
    FlushHeld();
    k4xplatform::UnlockStream(m_file.stream);
    return written;
}

int uFile::WriteHeld(const void* data, std::size_t count)
{
    if (!m_bOpen || data == nullptr) return 0;
    const std::size_t written = k4xplatform::SystemCalls().write(data, 1, count, m_file);
    return written > INT_MAX ? INT_MAX : static_cast<int>(written);
}

bool uFile::FlushHeld() { return m_bOpen && k4xplatform::SystemCalls().flush(m_file); }

}  // namespace ZR_KDT
