// The global allocation functions of a test program that links
// k4x_failing_allocation: every allocation of g_failFrom bytes or more fails
// with std::bad_alloc, as when memory runs out.
#pragma once

#include <cstddef>

namespace k4xtest {

extern std::size_t g_failFrom;  // SIZE_MAX: nothing fails

}  // namespace k4xtest
