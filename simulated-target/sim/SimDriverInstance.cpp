#include "SimDriverInstance.h"

#include <cstring>

namespace k4xsim {

bool SimDriverInstance::QueryProperty(const char* name, Zr::Kdt::Trace::PropertyReply* reply)
{
    CountCall(SimCall_QueryProperty);
    ThrowIfInjected(m_target.faults, SimCall_QueryProperty);
    if (reply == nullptr) return false;
    reply->word = 0;
    if (name == nullptr || std::strcmp(name, "TWP Source") != 0) {
        reply->status = kUnknownProperty;
        reply->value = "";
        return false;
    }
    reply->status = m_target.twpStatus;
    reply->value = m_target.twpText.c_str();
    return true;
}

}  // namespace k4xsim
