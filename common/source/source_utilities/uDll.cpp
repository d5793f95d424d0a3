#include "uDll.h"

#include "uEnvironment.h"
#include "uLogManager.h"
#include "uString.h"

namespace ZR_KDT {

namespace {

const char kSuffix[] = ".dll";

}  // namespace

uDll::uDll(const char* name, uint32_t mode)
    : m_sName(name != nullptr ? name : ""), m_nMode(mode == kKeepMode ? 0 : mode)
{
}

uDll::~uDll() { Unload(); }

bool uDll::FindAndLoad(const char* name, uint32_t mode)
{
    LogAtLevel(3, LogCategory_Function, LogStamp_None, "%s #%d  %s(...)\n",
               "..\\..\\..\\..\\common\\source\\source_utilities\\uDll", __LINE__, "ZR_KDT::uDll::FindAndLoad");
    if (name == nullptr) return false;
    if (m_hModule != nullptr) return true;

    std::string workingDirectory;
    GetWorkingDirectory(workingDirectory);
    LogProgress("uDll:  request to load \"%s\" in mode %d", name, static_cast<int>(mode));
    std::string platformName;
    GetPlatformName(platformName, name);
    LogProgress("uDll:  GetPlatformName returned \"%s\"", platformName.c_str());
    LogProgress("uDll:  Working Directory is: \"%s\"", workingDirectory.c_str());
    LogProgress("uDll:  PATH=%s", GetEnvironmentValue("PATH"));

    // The system loader completes a name without suffix in its own way.
    uString::ReplaceAll(platformName, kSuffix, "");
    m_sName = platformName;
    if (mode != kKeepMode) m_nMode = mode;
    if (m_sName.empty()) return false;
    return Load(m_sName.c_str(), m_nMode);
}

bool uDll::Load(const char* fileName, uint32_t mode)
{
    if (mode == kKeepMode) m_nMode = 0;
    m_sLastError.clear();
    m_hModule = k4xplatform::OpenLibrary(fileName);
    // Taken at once: the string work below may touch the error code.
    const uint32_t errorCode = k4xplatform::LastErrorCode();
    if (m_hModule == nullptr) {
        m_sLastError = "failed to load ";
        m_sLastError += fileName;
        m_sLastError += " with error code ";
        uString::ToString(m_sLastError, errorCode);
        LogProgress("uDll: %s", m_sLastError.c_str());
        // The system's own words, where it has any.
        const std::string detail = k4xplatform::LastLoadErrorDetail();
        if (!detail.empty()) LogProgress("uDll:  %s", detail.c_str());
    }
    return m_hModule != nullptr;
}

k4xplatform::ProcAddress uDll::GetSymbol(const char* symbol)
{
    if (m_hModule == nullptr) return nullptr;
    m_sLastError.clear();
    k4xplatform::ProcAddress address = k4xplatform::FindSymbol(m_hModule, symbol);
    if (address == nullptr)
        uString::FormatNumber(k4xplatform::LastErrorCode(), m_sLastError, "GetLastError() returned %d");
    return address;
}

bool uDll::Unload()
{
    if (m_hModule == nullptr) return false;
    m_sLastError.clear();
    k4xplatform::CloseLibrary(m_hModule);
    m_hModule = nullptr;
    return true;
}

const char* uDll::GetPlatformName(std::string& out, const char* name)
{
    if (name == nullptr) return out.c_str();
    out += name;
    if (!HasLibraryExtension(name)) out += kSuffix;
    return out.c_str();
}

bool uDll::HasLibraryExtension(const char* name)
{
    if (name == nullptr) return false;
    const std::string text(name);
    return text != kSuffix && text.find(kSuffix) != std::string::npos;
}

}  // namespace ZR_KDT
