#include "SimTarget.h"

#include "cVexaError.h"

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
    target.Fault(SimCall_CreateTraceFactory).kind = SimFault::Kind_Null;
    target.Fault(SimCall_ConnectChannelServer).kind = SimFault::Kind_Null;
    return target;
}

void ThrowIfInjected(const SimTarget& target, SimCall call, std::size_t served)
{
    const SimFault& fault = target.Fault(call);
    if (fault.kind != SimFault::Kind_Throw || served < fault.after) return;
    const std::string message = std::string("simulated fault in ") + SimCallName(call);
    throw Zr::Kdt::Vexa::cVexaError(message.c_str(), Zr::Kdt::Vexa::cVexaErrorIF::Severity_Error);
}

bool NullInjected(const SimTarget& target, SimCall call) { return target.Fault(call).kind == SimFault::Kind_Null; }

}  // namespace k4xsim
