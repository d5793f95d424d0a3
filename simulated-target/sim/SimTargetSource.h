// Where a stand-in gets the live system it simulates.
#pragma once

#include "SimTarget.h"

namespace k4xsim {

// The description named by the environment variable K4X_SIM_TARGET; the
// built-in target when it names no file. A file
// that cannot be read or is malformed is reported on stderr and gives the
// unreachable target, so that a broken description never passes for a
// working one.
SimTarget LoadTarget();

}  // namespace k4xsim
