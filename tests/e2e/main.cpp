#include "host_run.h"

#include <gtest/gtest.h>

namespace
{
// A failing test shows what each host it ran printed and how it exited.
class HostTranscripts : public testing::EmptyTestEventListener
{
    void OnTestEnd(const testing::TestInfo& test) override
    {
        if (test.result()->Failed())
            for (auto& run : finishedRuns())
                std::printf("%s\n", run.toRawUTF8());
        finishedRuns().clear();
    }
};
} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new HostTranscripts);
    return RUN_ALL_TESTS();
}
