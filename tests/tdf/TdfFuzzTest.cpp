// Random files and random damage to a sound file: the readers either succeed
// within the format's limits or throw cVexaError, nothing else.
#include "TdfFile.h"
#include "TdfTestSupport.h"

#include <random>

namespace {

using namespace tdftest;

class TdfFuzzTest : public ::testing::Test {
protected:
    // Feeds one file to both readers and checks what they report.
    void Probe(const Bytes& bytes)
    {
        WriteFile(path, bytes);
        uint32_t size = 0;
        uint32_t got = 0;
        unsigned char buffer[64];
        try {
            tdf.GetSectionSize(path.c_str(), "AETCONFIG", 2, size);
            EXPECT_LE(size, 0x8000000u - 12 - 9);
        } catch (const Zr::Kdt::Vexa::cVexaErrorIF&) {
        }
        try {
            tdf.LoadSection(path.c_str(), "AETCONFIG", 2, buffer, sizeof buffer, got);
            EXPECT_LE(got, sizeof buffer);
            EXPECT_LE(got, size);
        } catch (const Zr::Kdt::Vexa::cVexaErrorIF&) {
        }
    }

    uint32_t Interesting()
    {
        const uint32_t values[] = {0, 1, 11, 12, 20, 21, 259, 260, 0x7FFFFFFF, 0x8000000, 0x8000001, 0xFFFFFFFF};
        return values[rng() % (sizeof values / sizeof values[0])];
    }

    ScratchDir dir;
    std::string path = dir.Path("fuzz.tdf");
    TdfFile tdf;
    std::mt19937 rng{20240611};  // fixed, so a failure repeats
};

TEST_F(TdfFuzzTest, RandomBytesAndMutationsNeverEscapeAsAnythingElse)
{
    for (int round = 0; round < 300; ++round) {
        Bytes bytes = rng() % 2 ? TdfImage({}) : Bytes();
        const size_t kept = bytes.size();
        bytes.resize(kept + rng() % 200);
        for (size_t i = kept; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>(rng());
        SCOPED_TRACE("random file, round " + std::to_string(round));
        ASSERT_NO_FATAL_FAILURE(Probe(bytes));
    }

    const Bytes sound = TdfImage({Section("OTHER", 1, "abcd"), Section("AETCONFIG", 1, "v1"),
                                  Section("AETCONFIG", 2, "payload"), Section("TAIL", 3, "")});
    for (int round = 0; round < 700; ++round) {
        Bytes bytes = sound;
        const int damage = 1 + static_cast<int>(rng() % 4);
        for (int i = 0; i < damage; ++i) {
            switch (rng() % 3) {
            case 0:
                bytes[4 + rng() % (bytes.size() - 4)] = static_cast<unsigned char>(rng());
                break;
            case 1:
                SetU32(bytes, 4 + rng() % (bytes.size() - 7), Interesting());
                break;
            default:
                bytes.resize(8 + rng() % (bytes.size() - 7));
            }
        }
        SCOPED_TRACE("mutated file, round " + std::to_string(round));
        ASSERT_NO_FATAL_FAILURE(Probe(bytes));
    }
}

}  // namespace
