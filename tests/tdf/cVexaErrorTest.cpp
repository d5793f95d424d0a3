// The error object of the tools library, as the TDF code and its callers
// rely on it across the module boundary.
#include "TdfFile.h"
#include "cVexaError.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using Zr::Kdt::Vexa::cVexaError;
using Zr::Kdt::Vexa::cVexaErrorIF;

TEST(cVexaErrorTest, CopiesOwnTheirMessage)
{
    std::string text = "Invalid TDF format.";
    auto original = std::make_unique<cVexaError>(text.c_str(), cVexaErrorIF::Severity_Error);
    text.assign(text.size(), 'x');
    EXPECT_STREQ(original->GetMessageText(), "Invalid TDF format.");

    const cVexaError copy(*original);
    cVexaError assigned("other", cVexaErrorIF::Severity_Info);
    assigned = *original;
    original.reset();
    EXPECT_STREQ(copy.GetMessageText(), "Invalid TDF format.");
    EXPECT_EQ(copy.GetSeverity(), cVexaErrorIF::Severity_Error);
    EXPECT_STREQ(assigned.GetMessageText(), "Invalid TDF format.");
    EXPECT_EQ(assigned.GetSeverity(), cVexaErrorIF::Severity_Error);

    const cVexaError empty(nullptr, cVexaErrorIF::Severity_Error);
    EXPECT_STREQ(empty.GetMessageText(), "");
}

// The TDF code throws by value from this module; the class lives in the
// tools library. The other tests catch the interface; the concrete type
// must match here too.
TEST(cVexaErrorTest, TdfErrorsAreCaughtAsTheConcreteType)
{
    TdfFile tdf;
    uint32_t size = 0;
    try {
        tdf.AppendSectionHeader(nullptr, "AETCONFIG", 2, size);
        FAIL() << "no error thrown";
    } catch (cVexaError& error) {
        const cVexaError kept = error;
        EXPECT_STREQ(kept.GetMessageText(), "File name passed to save file is not valid.");
    }
}

}  // namespace
