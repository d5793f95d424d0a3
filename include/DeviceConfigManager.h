// Public interface of the K4x trace configuration library.
//
// A host loads the library at run time, looks up CreateDeviceConfigManager
// and DestroyDeviceConfigManager by name, and drives one manager per target
// CPU through CDeviceConfigManager. Every operation reports failure through
// its bool result; the library's own exceptions never leave it. The one
// exception: GetOutFile lets through what the host's CHostCallback::Query
// throws, and what the trace factory's channel server throws other than
// the tools library's error (cVexaErrorIF), unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#if defined(_WIN32)
#if defined(K4X_BUILDING_LIBRARY)
#define K4X_API __declspec(dllexport)
#else
#define K4X_API __declspec(dllimport)
#endif
#else
#define K4X_API __attribute__((visibility("default")))
#endif

namespace Zr {
namespace Kdt {
namespace Trace {

// Identity of the target CPU. Owned by the host; it must outlive the manager,
// which keeps only the pointer. The byte layout is part of the calling contract.
struct DeviceDescriptor {
    const char* cpuName;    // NUL-terminated name of the target CPU
    uint32_t firstNumber;   // returned by GetDeviceInfo
    uint8_t unused[20];     // never read by the library
    uint32_t secondNumber;  // returned by GetDeviceInfo
};

static_assert(offsetof(DeviceDescriptor, cpuName) == 0, "cpuName at byte 0");
static_assert(offsetof(DeviceDescriptor, firstNumber) == 8, "firstNumber at byte 8");
static_assert(offsetof(DeviceDescriptor, secondNumber) == 32, "secondNumber at byte 32");

enum PropertyType : uint32_t {
    PropertyType_Integer = 2,
    PropertyType_Boolean = 5,
    PropertyType_Text = 6,
};

// The store that LoadConfiguration and SaveConfiguration work on.
enum FileType : int32_t {
    FileType_Tdf = 0,        // the AETCONFIG section of a TDF container, by path
    FileType_Text = 1,       // a text file in the settings directory, by name
    FileType_Dcm = 2,        // saves: the same with ".dcm" added; loads read nothing
    FileType_TextAlias = 4,  // loads: the same as FileType_Text; saves refuse it
};

// One property crossing the interface. Booleans live in the first byte of
// the integer field; the other three bytes are neither written nor read.
struct PropertyValue {
    uint32_t type = PropertyType_Integer;
    std::string strValue;
    union {
        int32_t intValue = 0;
        bool boolValue;
    };
};

static_assert(sizeof(bool) == 1, "boolValue must be one byte");

// Implemented by the host to name the output file of a CPU that the live
// system does not know. Query is the only entry of its table.
class CHostCallback {
public:
    // Fills answer with the output-file path for the CPU named in prompt,
    // or leaves it empty. The integer is always 0 and the result is not read.
    virtual bool Query(const std::string& prompt, int32_t value, std::string& answer) = 0;

protected:
    ~CHostCallback() = default;
};

// The configuration manager of one target CPU. The slot order of the table
// is part of the calling contract: do not reorder.
class CDeviceConfigManager {
public:
    virtual ~CDeviceConfigManager() = default;
    virtual void SetHostCallback(CHostCallback* callback) = 0;
    virtual bool GetDeviceInfo(uint32_t& firstNumber, uint32_t& secondNumber, std::string& name) = 0;
    virtual bool LoadConfigurationLive() = 0;
    virtual bool LoadConfiguration(const std::string& fileName, int32_t fileType) = 0;
    virtual bool SaveConfiguration(const std::string& fileName, uint32_t fileType) = 0;
    virtual bool GetProperty(const std::string& name, PropertyValue& value) = 0;
    // May throw what the host's callback or the channel server throws (see top).
    virtual bool GetOutFile(const std::string& cpuName, std::string& outFile) = 0;
    virtual std::string GetErrorMessage() = 0;
};

// Managers made by this library extend the table with SetProperty in the
// slot after GetErrorMessage. A host reaches it through this view of the
// same object (AsPropertySetter); the library itself never calls it so.
class CK4xDeviceConfigManager : public CDeviceConfigManager {
public:
    // Stores one property from the record; the type code is not read.
    virtual bool SetProperty(const std::string& name, const PropertyValue& value) = 0;
};

// The table view is the calling contract, not a C++ base class of the
// library's manager, hence the reinterpretation.
inline CK4xDeviceConfigManager* AsPropertySetter(CDeviceConfigManager* manager)
{
    return reinterpret_cast<CK4xDeviceConfigManager*>(manager);
}

}  // namespace Trace
}  // namespace Kdt
}  // namespace Zr

extern "C" {

// Creates a manager for the CPU that descriptor names; descriptor and its
// name must not be null. Destroy the result with DestroyDeviceConfigManager.
K4X_API Zr::Kdt::Trace::CDeviceConfigManager* CreateDeviceConfigManager(Zr::Kdt::Trace::DeviceDescriptor* descriptor,
                                                                        uint64_t hostValue);

// Destroys a manager made by CreateDeviceConfigManager; null does nothing.
K4X_API void DestroyDeviceConfigManager(Zr::Kdt::Trace::CDeviceConfigManager* manager);

typedef Zr::Kdt::Trace::CDeviceConfigManager* (*CreateDeviceConfigManagerFn)(Zr::Kdt::Trace::DeviceDescriptor*,
                                                                             uint64_t);
typedef void (*DestroyDeviceConfigManagerFn)(Zr::Kdt::Trace::CDeviceConfigManager*);
}
