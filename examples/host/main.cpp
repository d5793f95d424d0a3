// A minimal host: loads the K4x trace configuration library at run time,
// sets "Trace Mode" of CPU K4x_DSP0, saves its settings file and reads the
// property back. The library path is the installed one, or argument 1.
#include "DeviceConfigManager.h"
#include "Loader.h"

#include <cstdio>

using namespace Zr::Kdt::Trace;

int main(int argc, char** argv)
{
    const char* path = argc > 1 ? argv[1] : K4XTRACECFG_LIBRARY;
    void* library = OpenLibrary(path);
    if (library == nullptr) {
        std::fprintf(stderr, "cannot load %s\n", path);
        return 1;
    }
    auto create = reinterpret_cast<CreateDeviceConfigManagerFn>(FindFunction(library, "CreateDeviceConfigManager"));
    auto destroy = reinterpret_cast<DestroyDeviceConfigManagerFn>(FindFunction(library, "DestroyDeviceConfigManager"));
    if (create == nullptr || destroy == nullptr) return 1;

    DeviceDescriptor device{};  // the host's: it must outlive the manager
    device.cpuName = "K4x_DSP0";
    CDeviceConfigManager* manager = create(&device, 0);
    PropertyValue value;
    value.intValue = 3;
    const bool saved = AsPropertySetter(manager)->SetProperty("Trace Mode", value) &&
                       manager->SaveConfiguration("K4x_DSP0-TCfg.txt", 1);  // the settings file, type 1
    if (!saved) std::printf("failed: %s\n", manager->GetErrorMessage().c_str());
    manager->GetProperty("Trace Mode", value);
    std::printf("Trace Mode = %d\n", value.intValue);
    destroy(manager);  // never delete: the manager lives on the library's heap
    CloseLibrary(library);
    return saved ? 0 : 1;
}
