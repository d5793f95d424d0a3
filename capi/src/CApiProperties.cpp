// The C calls that get and set one property by name. The library's
// SetProperty does not read the type code, so the type is checked here
// before a value of the wrong kind could overwrite a property.
#include "Handle.h"

using namespace k4xc;
using Zr::Kdt::Trace::PropertyValue;

namespace {

k4x_status WrongType(k4x_manager* handle, const char* name, uint32_t held)
{
    return Fail(handle, K4X_WRONG_TYPE, std::string(name) + " holds " + k4xhost::TypeWord(held) + " values");
}

// A name the library does not know is passed on as it is, for the library's own text. A failure's
// text goes straight into the handle: no string is made on the way of a call that succeeds.
k4x_status Get(k4x_manager* handle, const char* name, const void* out, k4x_type type, PropertyValue& value)
{
    if (const k4x_status status = Check(handle, {name, out}); status != K4X_OK) return status;
    k4xhost::Device& device = *handle->device;
    const k4xhost::Property* known = k4xhost::FindProperty(device.Properties(), name);
    if (!(known != nullptr ? device.Get(known->name, value, handle->error)
                           : device.Get(name, value, handle->error))) {
        return K4X_FAILED;
    }
    return value.type == static_cast<uint32_t>(type) ? K4X_OK : WrongType(handle, name, value.type);
}

k4x_status Set(k4x_manager* handle, const char* name, k4x_type type, const PropertyValue& value)
{
    k4xhost::Device& device = *handle->device;
    const k4xhost::Property* known = k4xhost::FindProperty(device.Properties(), name);
    if (known != nullptr && known->type != static_cast<uint32_t>(type)) return WrongType(handle, name, known->type);
    const bool done = known != nullptr ? device.Set(known->name, value, handle->error)
                                       : device.Set(name, value, handle->error);
    return done ? K4X_OK : K4X_FAILED;
}

}  // namespace

extern "C" {

K4X_C_API k4x_status k4x_get_int(k4x_manager* manager, const char* name, int32_t* value)
{
    return Guarded(manager, [&] {
        PropertyValue record;
        const k4x_status status = Get(manager, name, value, K4X_INTEGER, record);
        if (status == K4X_OK) *value = record.intValue;
        return status;
    });
}

K4X_C_API k4x_status k4x_get_bool(k4x_manager* manager, const char* name, int* value)
{
    return Guarded(manager, [&] {
        PropertyValue record;
        const k4x_status status = Get(manager, name, value, K4X_BOOLEAN, record);
        if (status == K4X_OK) *value = record.boolValue ? 1 : 0;
        return status;
    });
}

K4X_C_API k4x_status k4x_get_text(k4x_manager* manager, const char* name, char* buffer, size_t size, size_t* length)
{
    return Guarded(manager, [&] {
        PropertyValue record;
        const k4x_status status = Get(manager, name, name, K4X_TEXT, record);
        return status == K4X_OK ? CopyOut(manager, record.strValue, buffer, size, length) : status;
    });
}

K4X_C_API k4x_status k4x_set_int(k4x_manager* manager, const char* name, int32_t value)
{
    return Guarded(manager, [&] {
        if (const k4x_status status = Check(manager, {name}); status != K4X_OK) return status;
        PropertyValue record;
        record.intValue = value;
        return Set(manager, name, K4X_INTEGER, record);
    });
}

K4X_C_API k4x_status k4x_set_bool(k4x_manager* manager, const char* name, int value)
{
    return Guarded(manager, [&] {
        if (const k4x_status status = Check(manager, {name}); status != K4X_OK) return status;
        PropertyValue record;
        record.boolValue = value != 0;
        return Set(manager, name, K4X_BOOLEAN, record);
    });
}

K4X_C_API k4x_status k4x_set_text(k4x_manager* manager, const char* name, const char* value)
{
    return Guarded(manager, [&] {
        if (const k4x_status status = Check(manager, {name, value}); status != K4X_OK) return status;
        PropertyValue record;
        record.strValue = value;
        return Set(manager, name, K4X_TEXT, record);
    });
}
}
