#include "SimFaults.h"

#include "SimTargetParser.h"
#include "cVexaError.h"

#include <stdexcept>

namespace k4xsim {

void ThrowIfInjected(const SimFaults& faults, SimCall call, std::size_t served)
{
    const SimFault& fault = faults[call];
    if (fault.kind == SimFault::Kind_ThrowOtherOnce && !fault.spent) {
        fault.spent = true;
        throw std::runtime_error(std::string("simulated fault of another kind in ") + SimCallName(call));
    }
    if (fault.kind != SimFault::Kind_Throw || served < fault.after) return;
    const std::string message = std::string("simulated fault in ") + SimCallName(call);
    throw Zr::Kdt::Vexa::cVexaError(message.c_str(), Zr::Kdt::Vexa::cVexaErrorIF::Severity_Error);
}

bool NullInjected(const SimFaults& faults, SimCall call) { return faults[call].kind == SimFault::Kind_Null; }

bool ParseFault(const std::string& call, const std::string& value, SimFaults& faults, std::string& error)
{
    SimCall which;
    if (!FindSimCall(call, which)) {
        error = "unknown call \"" + call + "\" in [faults]";
        return false;
    }
    SimFault fault;
    const std::string afterPrefix = "throw after ";
    uint64_t after = 0;
    if (value == "throw" || (value.compare(0, afterPrefix.size(), afterPrefix) == 0 &&
                             ToNumber(Trim(value.substr(afterPrefix.size())), 1000000, after))) {
        fault = {SimFault::Kind_Throw, static_cast<std::size_t>(after)};
    } else if (value == "throw other once") {
        fault.kind = SimFault::Kind_ThrowOtherOnce;
    } else if (value == "null") {
        fault.kind = SimFault::Kind_Null;
    }
    if (fault.kind == SimFault::Kind_None) {
        error = call + " cannot fail as \"" + value + "\"";
        return false;
    }
    faults[which] = fault;
    return true;
}

}  // namespace k4xsim
