// The utilities' error type; the destructor anchors its virtual table here.
#include "source_utilities_error.h"

namespace ZR_KDT {

source_utilities_error::source_utilities_error(const std::string& message) : std::runtime_error(message) {}

source_utilities_error::~source_utilities_error() = default;

}  // namespace ZR_KDT
