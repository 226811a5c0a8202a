#include "host_api.h"
#include "host_model.h"

#include <gtest/gtest.h>

namespace
{
// Each test starts with an empty project and every slot of the host API table, the optional ones
// included, bound to the host model through the extension's own loaders; a test replaces single
// functions as it needs.
class FreshHost : public testing::EmptyTestEventListener
{
    void OnTestStart(const testing::TestInfo&) override
    {
        resetHostModel();
        REAPERAPI_LoadAPI(hostModelFunction);
        bindOptionalHostApi(hostModelFunction);
    }
};
} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new FreshHost);
    return RUN_ALL_TESTS();
}
