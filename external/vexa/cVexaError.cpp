// The tools library's error object: a message and a severity.
#include "cVexaError.h"

namespace Zr {
namespace Kdt {
namespace Vexa {

cVexaErrorIF::~cVexaErrorIF() = default;

cVexaError::cVexaError(const char* message, Severity_Type severity)
    : m_sMessage(message != nullptr ? message : ""), m_eSeverity(severity)
{
}

cVexaError::cVexaError(const cVexaError& other) = default;

cVexaError& cVexaError::operator=(const cVexaError& other) = default;

cVexaError::~cVexaError() = default;

cVexaErrorIF::Severity_Type cVexaError::GetSeverity() const { return m_eSeverity; }

void cVexaError::SetSeverity(Severity_Type severity) { m_eSeverity = severity; }

const char* cVexaError::GetSeverityText() const
{
    switch (m_eSeverity) {
    case Severity_Info:
        return "info";
    case Severity_Warning:
        return "warning";
    case Severity_Error:
        return "error";
    case Severity_Fatal:
        return "fatal";
    }
    return "unknown";
}

const char* cVexaError::GetMessageText() const { return m_sMessage.c_str(); }

void cVexaError::SetMessageText(const char* message) { m_sMessage = message != nullptr ? message : ""; }

void cVexaError::AppendMessageText(const char* text)
{
    if (text != nullptr) m_sMessage += text;
}

std::size_t cVexaError::GetMessageLength() const { return m_sMessage.size(); }

bool cVexaError::IsFatal() const { return m_eSeverity == Severity_Fatal; }

void cVexaError::Delete() {}

}  // namespace Vexa
}  // namespace Kdt
}  // namespace Zr
