// The exports of the simulated trace factory library. Test variants leave
// out an export (K4X_SIM_WITHOUT_CREATE, K4X_SIM_WITHOUT_DESTROY).
#include "SimSupport.h"
#include "SimTargetSource.h"
#include "SimTraceFactory.h"

#include <type_traits>

namespace {

k4xsim::SimRegistry<k4xsim::SimTraceFactory>& Factories()
{
    static k4xsim::SimRegistry<k4xsim::SimTraceFactory> factories;
    return factories;
}

}  // namespace

extern "C" {

#if !defined(K4X_SIM_WITHOUT_CREATE)
K4X_SIM_EXPORT Zr::Kdt::Trace::TraceFactory* CreateTraceFactory()
{
    return Factories().Create(k4xsim::SimCall_CreateTraceFactory, k4xsim::LoadTarget());
}
static_assert(std::is_same<decltype(&CreateTraceFactory), CreateTraceFactoryFn>::value, "CreateTraceFactoryFn");
#endif

#if !defined(K4X_SIM_WITHOUT_DESTROY)
K4X_SIM_EXPORT void DestroyTraceFactory(Zr::Kdt::Trace::TraceFactory* factory)
{
    // A factory that this library did not make is ignored: there is
    // nothing to free.
    Factories().Release(k4xsim::SimCall_DestroyTraceFactory, factory);
}
static_assert(std::is_same<decltype(&DestroyTraceFactory), DestroyTraceFactoryFn>::value, "DestroyTraceFactoryFn");
#endif
}
