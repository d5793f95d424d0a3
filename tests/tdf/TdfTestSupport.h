// Scratch files, byte builders and error capture for the TDF tests.
#pragma once

#include "cVexaError.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tdftest {

using Bytes = std::vector<unsigned char>;

// A fresh directory of its own for each test, removed afterwards.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string Path(const std::string& name) const;

private:
    std::filesystem::path m_root;
};

void WriteFile(const std::string& path, const Bytes& bytes);
Bytes ReadFile(const std::string& path);

// Appends a little-endian 32-bit value.
void PutU32(Bytes& bytes, uint32_t value);
// Overwrites four bytes at the offset with a little-endian value.
void SetU32(Bytes& bytes, std::size_t at, uint32_t value);
void PutText(Bytes& bytes, const std::string& text);
// A whole section whose length field matches its contents.
Bytes Section(const std::string& name, uint32_t version, const std::string& data);
// The signature followed by the given sections.
Bytes TdfImage(const std::vector<Bytes>& sections);

// Runs the call and gives the message of the cVexaError it throws, checking
// its severity; "<no error>" when it returns normally.
template <typename Call>
std::string ErrorOf(Call&& call)
{
    try {
        call();
    } catch (const Zr::Kdt::Vexa::cVexaErrorIF& error) {
        EXPECT_EQ(error.GetSeverity(), Zr::Kdt::Vexa::cVexaErrorIF::Severity_Error) << error.GetMessageText();
        return error.GetMessageText();
    }
    return "<no error>";
}

}  // namespace tdftest
