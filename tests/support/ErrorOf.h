#pragma once

#include "cVexaError.h"

#include <gtest/gtest.h>

#include <exception>
#include <string>

namespace k4xtest {

// The message of the cVexaError (checking its severity) or of the Error the
// call throws; "<no error>" when it returns normally. Anything else passes.
template <typename Error = std::exception, typename Call>
std::string ErrorOf(Call&& call)
{
    try {
        call();
    } catch (const Zr::Kdt::Vexa::cVexaErrorIF& error) {
        EXPECT_EQ(error.GetSeverity(), Zr::Kdt::Vexa::cVexaErrorIF::Severity_Error) << error.GetMessageText();
        return error.GetMessageText();
    } catch (const Error& error) {
        return error.what();
    }
    return "<no error>";
}

}  // namespace k4xtest
