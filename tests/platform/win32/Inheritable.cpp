#include "Inheritable.h"

#include <io.h>
#include <windows.h>

#include <cstdio>

namespace k4xtest {

bool InheritedByChildren(k4xplatform::File file)
{
    const intptr_t handle = file.stream != nullptr ? ::_get_osfhandle(::_fileno(file.stream)) : file.handle;
    DWORD flags = 0;
    return !::GetHandleInformation(reinterpret_cast<HANDLE>(handle), &flags) || (flags & HANDLE_FLAG_INHERIT) != 0;
}

}  // namespace k4xtest
