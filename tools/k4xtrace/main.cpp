// k4xtrace: shows and changes the trace configuration of a K4x CPU through
// the configuration library, loaded at run time like a debugger loads it.
#include "DeviceConfigManager.h"
#include "Platform.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

using Zr::Kdt::Trace::CDeviceConfigManager;
using Zr::Kdt::Trace::DeviceDescriptor;
using Zr::Kdt::Trace::PropertyValue;
namespace platform = ZR_KDT::platform;

const char kDefaultLibrary[] = "K4xTraceCfg";

const char* const kPropertyNames[] = {
    "Trace Mode", "Encoding Mode", "Sync Frequency", "Number of AEG", "Memory Mode",  "CEMU Status",
    "Event Bit0", "Event Bit1",    "Event Bit2",     "Event Bit3",    "TWP_Protocol", "CycleModeDelta",
};

int Usage(FILE* stream)
{
    std::fprintf(stream,
                 "usage: k4xtrace show [--library PATH] CPU\n"
                 "\n"
                 "Shows every trace property of the CPU's configuration.\n"
                 "  --library PATH  the configuration library to load (default: %s)\n",
                 kDefaultLibrary);
    return stream == stdout ? 0 : 2;
}

const char* TypeName(uint32_t type)
{
    switch (type) {
    case Zr::Kdt::Trace::PropertyType_Integer:
        return "integer";
    case Zr::Kdt::Trace::PropertyType_Boolean:
        return "boolean";
    case Zr::Kdt::Trace::PropertyType_Text:
        return "text";
    }
    return "unknown";
}

std::string ValueText(const PropertyValue& value)
{
    switch (value.type) {
    case Zr::Kdt::Trace::PropertyType_Boolean:
        return value.boolValue ? "true" : "false";
    case Zr::Kdt::Trace::PropertyType_Text:
        return "\"" + value.strValue + "\"";
    }
    return std::to_string(value.intValue);
}

int ShowProperties(CDeviceConfigManager& manager)
{
    std::printf("%-16s %-8s %s\n", "PROPERTY", "TYPE", "VALUE");
    for (const char* name : kPropertyNames) {
        PropertyValue value;
        if (!manager.GetProperty(name, value)) {
            std::fprintf(stderr, "k4xtrace: %s: %s\n", name, manager.GetErrorMessage().c_str());
            return 1;
        }
        std::printf("%-16s %-8s %s\n", name, TypeName(value.type), ValueText(value).c_str());
    }
    return 0;
}

int Show(const char* library, const char* cpu)
{
    platform::ModuleHandle module = platform::OpenLibrary(library);
    if (module == nullptr) {
        std::fprintf(stderr, "k4xtrace: cannot load %s (error %u) %s\n", library,
                     static_cast<unsigned>(platform::LastErrorCode()), platform::LastLoadErrorDetail().c_str());
        return 1;
    }
    auto create =
        reinterpret_cast<CreateDeviceConfigManagerFn>(platform::FindSymbol(module, "CreateDeviceConfigManager"));
    auto destroy =
        reinterpret_cast<DestroyDeviceConfigManagerFn>(platform::FindSymbol(module, "DestroyDeviceConfigManager"));
    if (create == nullptr || destroy == nullptr) {
        std::fprintf(stderr, "k4xtrace: %s is not a configuration library\n", library);
        platform::CloseLibrary(module);
        return 1;
    }
    DeviceDescriptor descriptor{};
    descriptor.cpuName = cpu;
    CDeviceConfigManager* manager = create(&descriptor, 0);
    int status = 1;
    if (manager != nullptr) {
        status = ShowProperties(*manager);
        destroy(manager);
    } else {
        std::fprintf(stderr, "k4xtrace: the library could not create a manager\n");
    }
    platform::CloseLibrary(module);
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* library = kDefaultLibrary;
    const char* cpu = nullptr;
    if (argc < 2) return Usage(stderr);
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) return Usage(stdout);
    if (std::strcmp(argv[1], "show") != 0) return Usage(stderr);
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--library") == 0 && i + 1 < argc) {
            library = argv[++i];
        } else if (std::strcmp(argv[i], "--help") == 0) {
            return Usage(stdout);
        } else if (argv[i][0] != '-' && cpu == nullptr) {
            cpu = argv[i];
        } else {
            return Usage(stderr);
        }
    }
    if (cpu == nullptr) return Usage(stderr);
    return Show(library, cpu);
}
