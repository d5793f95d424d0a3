#include "Inheritable.h"

#include <fcntl.h>

#include <cstdio>

namespace k4xtest {

bool InheritedByChildren(k4xplatform::File file)
{
    const int descriptor = file.stream != nullptr ? ::fileno(file.stream) : static_cast<int>(file.handle);
    return (::fcntl(descriptor, F_GETFD) & FD_CLOEXEC) == 0;
}

}  // namespace k4xtest
