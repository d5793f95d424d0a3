// Temporary directories and file reading for the logging tests.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>

#include <gtest/gtest.h>

namespace ZR_KDT {
namespace test {

// A fresh directory for one test, removed with what is left in it.
class TempDirectory {
public:
    TempDirectory()
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
        m_path = std::filesystem::temp_directory_path() /
                 (std::string("k4x-") + info->test_suite_name() + "-" + info->name() + "-" + std::to_string(tick));
        std::filesystem::create_directories(m_path);
    }
    ~TempDirectory()
    {
        std::error_code ignored;  // a file still open on Windows stays behind
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    std::string Path() const { return m_path.string(); }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

// The bytes of a file; empty when it cannot be read.
inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Text as a text-mode stream stores it: a line feed becomes CR LF on Windows.
inline std::string Stored(const std::string& text)
{
    if (!K4X_CRLF_FILES) return text;
    std::string stored;
    for (const char c : text) {
        if (c == '\n') stored += '\r';
        stored += c;
    }
    return stored;
}

}  // namespace test
}  // namespace ZR_KDT
