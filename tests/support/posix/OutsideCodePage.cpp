// POSIX: names are bytes; there is no such name.
#include "OutsideCodePage.h"

namespace k4xtest {

bool PointProfileOutsideTheCodePage(const std::filesystem::path&) { return false; }

}  // namespace k4xtest
