// The channel driver's instance for one CPU: answers property queries from
// the target description.
#pragma once

#include "ChannelDriver.h"
#include "SimTarget.h"

namespace k4xsim {

class SimDriverInstance final : public Zr::Kdt::Trace::ChannelDriverInstance {
public:
    // The status of a query for a property the target does not have.
    static constexpr uint32_t kUnknownProperty = 1;

    // `target` outlives the instance (both belong to one server).
    explicit SimDriverInstance(const SimTarget& target) : m_target(target) {}

    // "TWP Source" answers the description's status and text; any other
    // name answers kUnknownProperty and "". May throw cVexaError.
    bool QueryProperty(const char* name, Zr::Kdt::Trace::PropertyReply* reply) override;

private:
    const SimTarget& m_target;
};

}  // namespace k4xsim
