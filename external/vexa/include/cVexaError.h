// The error object of the vexa tools library. The TDF code throws it; the
// configuration code catches it by reference and keeps its message.
#pragma once

#include <cstddef>
#include <string>

#if defined(_WIN32) && defined(VEXA_BUILDING_LIBRARY)
#define VEXA_API __declspec(dllexport)
#elif defined(_WIN32)
#define VEXA_API  // mingw's auto-import resolves the class from vexa.dll
#else
#define VEXA_API __attribute__((visibility("default")))
#endif

namespace Zr {
namespace Kdt {
namespace Vexa {

class VEXA_API cVexaErrorIF {
public:
    enum Severity_Type {
        Severity_Info = 0,
        Severity_Warning = 1,
        Severity_Error = 2,
        Severity_Fatal = 3,
    };

    virtual ~cVexaErrorIF();
    virtual Severity_Type GetSeverity() const = 0;
    virtual void SetSeverity(Severity_Type severity) = 0;
    virtual const char* GetSeverityText() const = 0;
    // The message, owned by the error object. Fifth in the table: callers
    // outside the tools library rely on that position.
    virtual const char* GetMessageText() const = 0;
    virtual void SetMessageText(const char* message) = 0;
    virtual void AppendMessageText(const char* text) = 0;
    virtual std::size_t GetMessageLength() const = 0;
    virtual bool IsFatal() const = 0;
    virtual void Delete() = 0;
};

class VEXA_API cVexaError : public cVexaErrorIF {
public:
    cVexaError(const char* message, Severity_Type severity);
    cVexaError(const cVexaError& other);
    cVexaError& operator=(const cVexaError& other);
    ~cVexaError() override;

    Severity_Type GetSeverity() const override;
    void SetSeverity(Severity_Type severity) override;
    const char* GetSeverityText() const override;
    const char* GetMessageText() const override;
    void SetMessageText(const char* message) override;
    void AppendMessageText(const char* text) override;
    std::size_t GetMessageLength() const override;
    bool IsFatal() const override;
    // Does nothing. The configuration library exports it under its own name.
    void Delete() override;

private:
    std::string m_sMessage;
    Severity_Type m_eSeverity;
};

}  // namespace Vexa
}  // namespace Kdt
}  // namespace Zr
