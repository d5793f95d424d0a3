#include "SimTarget.h"

namespace k4xsim {

SimTarget DefaultTarget()
{
    SimTarget target;
    target.cpus = {{"K4x_DSP0", "apps/K4x_DSP0.out"}, {"K4x_DSP1", "apps/K4x_DSP1.out"}};
    return target;
}

SimTarget UnreachableTarget()
{
    SimTarget target;
    target.reachable = false;
    return target;
}

}  // namespace k4xsim
