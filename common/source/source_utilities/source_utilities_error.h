// The error the utilities throw on misuse and on failed system queries.
#pragma once

#include <stdexcept>
#include <string>

namespace ZR_KDT {

// Carries one message, returned by what(); copies duplicate it.
class source_utilities_error : public std::runtime_error {
public:
    explicit source_utilities_error(const std::string& message);
    source_utilities_error(const source_utilities_error&) = default;
    source_utilities_error& operator=(const source_utilities_error&) = default;
    ~source_utilities_error() override;
};

}  // namespace ZR_KDT
