// The test-support exports, compiled into every stand-in module itself so
// that each exports them whichever of its own functions it has.
#include "SimSupport.h"

#include "SimCall.h"

long SimCallCount(const char* name)
{
    k4xsim::SimCall call;
    if (name == nullptr || !k4xsim::FindSimCall(name, call)) return -1;
    return k4xsim::CallCount(call);
}
