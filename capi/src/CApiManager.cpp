// The C calls around a handle: open, close, the last failure, the library's version, the device and
// its property list.
#include "Handle.h"

using namespace k4xc;

extern "C" {

K4X_C_API k4x_status k4x_open(const char* library, const char* cpu_name, uint32_t first_number, uint32_t second_number,
                              k4x_manager** manager)
{
    if (manager == nullptr) return K4X_BAD_ARGUMENT;
    try {
        *manager = new k4x_manager;
    } catch (...) {
        *manager = nullptr;
        return K4X_NO_MEMORY;
    }
    return Guarded(*manager, [&] { return Open(**manager, library, cpu_name, first_number, second_number); });
}

K4X_C_API k4x_status k4x_close(k4x_manager* manager)
{
    if (manager == nullptr) return K4X_OK;
    const k4x_status status = Guarded(manager, [&] {
        Close(*manager);
        return K4X_OK;
    });
    delete manager;
    return status;
}

K4X_C_API const char* k4x_error_text(k4x_manager* manager)
{
    return manager != nullptr ? manager->error.c_str() : "out of memory";
}

K4X_C_API k4x_status k4x_last_error(k4x_manager* manager, char* buffer, size_t size, size_t* length)
{
    if (manager == nullptr) return K4X_BAD_ARGUMENT;
    // A buffer too small is no new failure: the text stays for a second try.
    return Guarded(nullptr, [&] { return CopyOut(nullptr, manager->error, buffer, size, length); });
}

K4X_C_API k4x_status k4x_library_version(k4x_manager* manager, const char** version)
{
    return Guarded(manager, [&] {
        if (const k4x_status status = Check(manager, {version}); status != K4X_OK) return status;
        if (manager->libraryVersion.empty()) manager->libraryVersion = manager->library.Version();
        if (manager->libraryVersion.empty())
            return Fail(manager, K4X_NOT_FOUND, manager->library.Path() + " carries no version");
        *version = manager->libraryVersion.c_str();
        return K4X_OK;
    });
}

K4X_C_API k4x_status k4x_device_info(k4x_manager* manager, uint32_t* first_number, uint32_t* second_number,
                                     char* buffer, size_t size, size_t* length)
{
    return Guarded(manager, [&] {
        if (const k4x_status status = Check(manager, {first_number, second_number}); status != K4X_OK) return status;
        std::string name;
        manager->device->Manager().GetDeviceInfo(*first_number, *second_number, name);
        return CopyOut(manager, name, buffer, size, length);
    });
}

K4X_C_API k4x_status k4x_property_count(k4x_manager* manager, size_t* count)
{
    const k4x_status status = Check(manager, {count});
    if (status == K4X_OK) *count = manager->device->Properties().size();
    return status;
}

K4X_C_API k4x_status k4x_property_at(k4x_manager* manager, size_t index, const char** name, k4x_type* type)
{
    return Guarded(manager, [&] {
        if (const k4x_status status = Check(manager, {name, type}); status != K4X_OK) return status;
        const k4xhost::PropertyList& properties = manager->device->Properties();
        if (index >= properties.size()) {
            return Fail(manager, K4X_BAD_ARGUMENT, "no property at index " + std::to_string(index));
        }
        *name = properties[index].name.c_str();
        *type = static_cast<k4x_type>(properties[index].type);
        return K4X_OK;
    });
}
}
