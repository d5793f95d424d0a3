// The description reader of the simulated live systems; what the stand-ins
// do with a description is seen through the live tests.
#include "SimTargetParser.h"

#include <gtest/gtest.h>

namespace {

using k4xsim::ParseTarget;
using k4xsim::SimCall;
using k4xsim::SimFault;
using k4xsim::SimTarget;

TEST(SimTargetParser, ReadsEverySectionAndKeepsWhatIsLeftOut)
{
    const std::string text =
        "# a test system\r\n[cpus]\r\n  C6x/core 1 = D:/apps/core 1.out  \r\nK4x_DSP7 =\r\n; second block\n"
        "[twp-source]\nstatus = 4294967295\n[ faults ]\nQueryProperty = throw\nOpenDriverInstance = null\n"
        "GetCpuOutFile=throw after   2\nCreateTraceFactory = null";
    SimTarget target = k4xsim::DefaultTarget();
    std::string error;
    ASSERT_TRUE(ParseTarget(text, target, error)) << error;
    ASSERT_EQ(target.cpus.size(), 2u);
    EXPECT_EQ(target.cpus[0].name + "|" + target.cpus[0].outFile, "C6x/core 1|D:/apps/core 1.out");
    EXPECT_EQ(target.cpus[1].name + "|" + target.cpus[1].outFile, "K4x_DSP7|");
    EXPECT_EQ(target.twpStatus, 4294967295u);
    EXPECT_EQ(target.twpText, "1");
    EXPECT_EQ(target.Fault(SimCall::QueryProperty).kind, SimFault::Throw);
    EXPECT_EQ(target.Fault(SimCall::OpenDriverInstance).kind, SimFault::Null);
    EXPECT_EQ(target.Fault(SimCall::GetCpuOutFile).after, 2u);
    EXPECT_EQ(target.Fault(SimCall::CreateTraceFactory).kind, SimFault::Null);
    EXPECT_EQ(target.Fault(SimCall::CreateChannelServer).kind, SimFault::None);
}

TEST(SimTargetParser, NamesTheLineOfAMistake)
{
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"[cpus]\n[disks]\n", "line 2: unknown section [disks]"},
        {"[cpus\n", "line 1: section header without ']'"},
        {"K4x_DSP0 = a.out\n", "line 1: \"K4x_DSP0\" stands before any [section]"},
        {"[cpus]\nK4x_DSP0 a.out\n", "line 2: expected"},
        {"[cpus]\n = a.out\n", "line 2: empty name"},
        {"[cpus]\nA = 1\r\nA = 2\n", "line 3: \"A\" given twice"},
        {"[cpus]\n[faults]\n[cpus]\n", "line 3: section [cpus] given twice"},
        {"[twp-source]\nvalue = 1\n", "line 2: unknown key \"value\""},
        {"[twp-source]\nstatus = -1\n", "line 2: status \"-1\""},
        {"[twp-source]\nstatus = 4294967296\n", "line 2: status"},
        {"[faults]\nQueryProperties = throw\n", "line 2: unknown call"},
        {"[faults]\nQueryProperty = null\n", "line 2: QueryProperty cannot fail as \"null\""},
        {"[faults]\nOpenDriverInstance = throw after 1\n", "line 2: OpenDriverInstance cannot"},
        {"[faults]\nGetLiveCpus = throw after x\n", "line 2: GetLiveCpus cannot"},
        {"[faults]\nGetCpuOutFile = crash\n", "line 2: GetCpuOutFile cannot"},
    };
    for (const auto& c : cases) {
        SimTarget target;
        std::string error;
        EXPECT_FALSE(ParseTarget(c.text, target, error)) << c.text;
        EXPECT_EQ(error.find(c.error), 0u) << c.text << " gave: " << error;
    }
}

}  // namespace
