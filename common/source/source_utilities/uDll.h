// Holder of one dynamically loaded library: shapes the name, loads it,
// looks up exports and unloads it, keeping the text of its last failure.
// Failures are reported through results and GetLastErrorText(); only an
// unreadable working directory throws (source_utilities_error).
#pragma once

#include "Platform.h"

#include <cstdint>
#include <string>

namespace ZR_KDT {

class uDll {
public:
    // The mode that keeps the loader's current mode.
    static constexpr uint32_t kKeepMode = 0xFFFFFFFF;

    // kKeepMode stands for 0 here. Nothing is loaded.
    uDll(const char* name, uint32_t mode);
    ~uDll();
    uDll(const uDll&) = delete;
    uDll& operator=(const uDll&) = delete;

    // Loads the library once; true when a library is loaded on return.
    // kKeepMode keeps the current mode.
    bool FindAndLoad(const char* name, uint32_t mode);
    // The exported function, or null.
    k4xplatform::ProcAddress GetSymbol(const char* symbol);
    // False when nothing was loaded.
    bool Unload();
    // Hands fileName to the system loader; true when it gave a handle.
    bool Load(const char* fileName, uint32_t mode);

    // Appends name, completed with ".dll" unless it has the suffix, to out.
    static const char* GetPlatformName(std::string& out, const char* name);
    // ".dll" occurs in name (case-sensitive), and name is not just ".dll".
    static bool HasLibraryExtension(const char* name);

    bool IsLoaded() const { return m_hModule != nullptr; }
    // The system's handle of the loaded library; null while nothing is loaded.
    k4xplatform::ModuleHandle GetModule() const { return m_hModule; }
    const std::string& GetName() const { return m_sName; }
    uint32_t GetMode() const { return m_nMode; }
    const std::string& GetLastErrorText() const { return m_sLastError; }

private:
    std::string m_sName;
    uint32_t m_nMode;
    k4xplatform::ModuleHandle m_hModule = nullptr;
    std::string m_sLastError;
};

}  // namespace ZR_KDT
