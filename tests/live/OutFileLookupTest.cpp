// GetOutFile: the live system, the cache of earlier answers and the host.
#include "K4xDeviceCfgMgr.h"
#include "LiveSession.h"
#include "LoadedLibrary.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

namespace k4xtest {
namespace {

// Answers prompts from a table and records what it was asked.
class HostAnswers final : public Zr::Kdt::Trace::CHostCallback {
public:
    bool Query(const std::string& prompt, int32_t value, std::string& answer) override
    {
        prompts.push_back(prompt);
        EXPECT_EQ(value, 0);
        EXPECT_EQ(answer, "");
        if (fail) throw std::runtime_error("host gave up");
        const auto found = answers.find(prompt);
        if (found != answers.end()) answer = found->second;
        return true;
    }

    std::map<std::string, std::string> answers;
    std::vector<std::string> prompts;
    bool fail = false;
};

class OutFileLookup : public ::testing::Test {
protected:
    // What GetOutFile gives, "<false>" when it fails with out untouched.
    std::string Lookup(const std::string& cpu)
    {
        std::string out = "untouched";
        if (!m_manager.GetOutFile(cpu, out)) return out == "untouched" ? "<false>" : "<false, changed>";
        return out;
    }

    Zr::Kdt::Trace::DeviceDescriptor m_descriptor = MakeDescriptor("K4x_DSP0");
    LiveSession m_session{"default"};
    K4xDeviceCfgMgr m_manager{&m_descriptor, 0};
    HostAnswers m_host;
};

TEST_F(OutFileLookup, CacheAndHostWithoutLiveSystem)
{
    EXPECT_EQ(Lookup("C1"), "<false>");
    m_manager.SetHostCallback(&m_host);
    const std::string c1 = m_session.WriteFile("c1.out", "image");
    const std::string xc1 = m_session.WriteFile("xc1.out", "image");
    m_host.answers = {{"Application for C1", c1},
                      {"Application for XC1_0", xc1},
                      {"Application for M", m_session.Profile() + "/missing.out"}};
    EXPECT_EQ(Lookup("C1"), c1);
    EXPECT_EQ(Lookup("XC1_0"), xc1);
    ASSERT_EQ(m_host.prompts.size(), 2u);
    EXPECT_EQ(m_host.prompts[1], "Application for XC1_0");

    // Exact beats an earlier containment; then containment; then the tail
    // rule, which ignores case; an empty name is in every name.
    EXPECT_EQ(Lookup("C1"), c1);
    EXPECT_EQ(Lookup("C1_0"), xc1);
    EXPECT_EQ(Lookup("c1"), c1);
    EXPECT_EQ(Lookup("x9_0"), xc1);
    EXPECT_EQ(Lookup(""), c1);
    EXPECT_EQ(m_host.prompts.size(), 2u);

    // No answer, or one naming no file: false, not cached, asked again.
    EXPECT_EQ(Lookup("Z9"), "<false>");
    EXPECT_EQ(Lookup("Z9"), "<false>");
    EXPECT_EQ(Lookup("M"), "<false>");
    EXPECT_EQ(Lookup("M"), "<false>");
    EXPECT_EQ(m_host.prompts.size(), 6u);
    EXPECT_EQ(m_host.prompts.back(), "Application for M");

    // What the host's callback throws comes back to the host; the cache stays.
    m_host.fail = true;
    EXPECT_THROW(Lookup("Q"), std::runtime_error);
    m_manager.SetHostCallback(nullptr);
    EXPECT_EQ(Lookup("Q"), "<false>");
    EXPECT_EQ(m_host.prompts.size(), 7u);
    EXPECT_EQ(Lookup("C1_0"), xc1);
}

TEST_F(OutFileLookup, LiveRefreshReplacesAndAppends)
{
    m_session.UseTarget("[cpus]\nK4x_DSP0 = apps/new0.out\nK4x_DSP1 =\n");
    StandIn factory("default", "TraceFactory");
    m_manager.SetHostCallback(&m_host);
    const std::string host0 = m_session.WriteFile("host0.out", "image");
    const std::string board = m_session.WriteFile("board.out", "image");
    m_host.answers = {{"Application for K4x_DSP0", host0}, {"Application for DSP1#", board}};
    EXPECT_EQ(Lookup("K4x_DSP0"), host0);
    // Its last byte is in no cached name, so the host is asked.
    EXPECT_EQ(Lookup("DSP1#"), board);

    m_manager.LoadConfigurationLive();  // no settings file: false, but live
    EXPECT_EQ(Lookup("K4x_DSP0"), "apps/new0.out");
    // The live system's CPU comes after every cached name, with its empty path.
    EXPECT_EQ(Lookup("DSP1"), board);
    EXPECT_EQ(Lookup("K4x_DSP1"), "");
    EXPECT_EQ(m_host.prompts.size(), 2u);
    EXPECT_EQ(factory.Count("GetLiveCpus"), 3);
    EXPECT_EQ(m_session.Log().Count("M:DCM: live system CPU = K4x_DSP0; OutFile=apps/new0.out"), 3);
    EXPECT_EQ(m_session.Log().Count("M:DCM: live system CPU = K4x_DSP1; OutFile="), 3);
}

TEST_F(OutFileLookup, LiveFailureKeepsWhatWasRefreshed)
{
    m_session.UseTarget("[cpus]\nA = a.out\nB = b.out\nC = c.out\n[faults]\nGetCpuOutFile = throw after 1\n");
    m_manager.SetHostCallback(&m_host);
    const std::string hostB = m_session.WriteFile("b-host.out", "image");
    m_host.answers = {{"Application for B", hostB}};
    EXPECT_EQ(Lookup("B"), hostB);

    m_manager.LoadConfigurationLive();
    EXPECT_EQ(Lookup("B"), hostB);
    EXPECT_EQ(Lookup("A"), "a.out");
    // C was never reached; nothing in the cache ends in C.
    EXPECT_EQ(Lookup("C"), "<false>");
    EXPECT_EQ(m_host.prompts.size(), 2u);
    EXPECT_EQ(m_session.Log().CountStarting("M:DCM: live system CPU = A;"), 3);
    EXPECT_EQ(m_session.Log().CountStarting("M:DCM: live system CPU = B;"), 0);
}

}  // namespace
}  // namespace k4xtest
