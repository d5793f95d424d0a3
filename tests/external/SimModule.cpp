#include "SimModule.h"

#include "SimSupport.h"

#include <fstream>

namespace k4xtest {

SimModule::SimModule(const char* folder, const char* library)
    : m_module(ZR_KDT::platform::OpenLibrary((std::string(K4X_SIM_ROOT) + "/" + folder + "/" + library).c_str()))
{
}

SimModule::~SimModule()
{
    if (m_module != nullptr) ZR_KDT::platform::CloseLibrary(m_module);
}

long SimModule::Count(const char* call) const
{
    const SimCallCountFn count = Find<SimCallCountFn>("SimCallCount");
    return count != nullptr ? count(call) : -2;
}

void SimModule::UseTarget(const std::string& path) const
{
    const SimSetTargetFn use = Find<SimSetTargetFn>("SimSetTarget");
    if (use != nullptr) use(path.c_str());
}

std::string WriteDescription(const std::string& name, const std::string& text)
{
    std::ofstream(name, std::ios::binary) << text;
    return name;
}

}  // namespace k4xtest
