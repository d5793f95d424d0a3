// One stand-in library of a simulated live system, loaded by path from its
// folder under bin/sim/ through the platform layer, as the library loads it.
#pragma once

#include "Platform.h"

#include <string>

namespace k4xtest {

class SimModule {
public:
    // folder: "default", "no-create", ...; library: "TraceFactory" or "NAVRO".
    SimModule(const char* folder, const char* library);
    ~SimModule();
    SimModule(const SimModule&) = delete;
    SimModule& operator=(const SimModule&) = delete;

    bool Loaded() const { return m_module != nullptr; }

    template <typename Fn>
    Fn Find(const char* symbol) const
    {
        return reinterpret_cast<Fn>(ZR_KDT::platform::FindSymbol(m_module, symbol));
    }

    // The module's count of the named call (SimCallCount).
    long Count(const char* call) const;

    // The description that the module reads next ("" for the built-in one).
    void UseTarget(const std::string& path) const;

private:
    ZR_KDT::platform::ModuleHandle m_module;
};

// Writes `text` to a file named `name` in the working directory; its path.
std::string WriteDescription(const std::string& name, const std::string& text);

}  // namespace k4xtest
