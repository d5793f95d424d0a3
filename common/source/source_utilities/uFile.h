// A buffered file stream opened in shared mode, written under its own lock.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "Platform.h"
#include "uMutex.h"

namespace ZR_KDT {

class uFile {
public:
    // Keeps path (empty for null) and mode; opens nothing. The mode text is
    // not copied and must outlive its use.
    uFile(const char* path, const char* mode);
    // Does not close an open stream: owners close it first.
    virtual ~uFile();
    uFile(const uFile&) = delete;
    uFile& operator=(const uFile&) = delete;

    // Opens path (or the kept path for null) so that other handles, in this
    // and other processes, may read and write it meanwhile. Call it only
    // while closed; takes no lock. False when the stream cannot be made.
    bool Open(const char* path, const char* mode);

    // False when there was no stream; closed afterwards in every case.
    bool Close();

    // The number of bytes written; 0 while closed.
    int Write(const void* data, std::size_t count);

    // False while closed or when the stream cannot be flushed.
    bool Flush();
    // Write, then Flush, under one hold of the lock; returns what Write
    // returns.
    int WriteAndFlush(const void* data, std::size_t count);

private:
    int WriteHeld(const void* data, std::size_t count);
    bool FlushHeld();

    bool m_bOpen;
    std::string m_sPath;
    const char* m_pMode;
    k4xplatform::File m_file;
    uMutex m_lock;
};

}  // namespace ZR_KDT
