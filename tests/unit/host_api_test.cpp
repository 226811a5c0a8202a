#include "host_api.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <juce_core/juce_core.h>
#include <string>
#include <vector>

namespace
{
std::vector<std::string> lookedUp;
std::string missingName;

void dummy() {}

#define VANTOREL_COUNT(name, result, parameters) +1
#define VANTOREL_SKIP(name, result, parameters)
constexpr int requiredFunctionCount = 0 VANTOREL_HOST_FUNCTIONS(VANTOREL_COUNT, VANTOREL_SKIP);
#undef VANTOREL_COUNT
#undef VANTOREL_SKIP

void* getFunc(const char* name)
{
    lookedUp.push_back(name);
    return missingName == name ? nullptr : reinterpret_cast<void*>(&dummy);
}

// The host's own order: case-insensitive, so '_' sorts before the letters.
TEST(HostApi, LoaderTableIsAlphabeticalAndClosed)
{
    int count = 0;
    const HostApiSlot* entry = hostApiLoaderTable;
    for (; entry->slot != nullptr; ++entry, ++count)
    {
        if (count > 0)
        {
            EXPECT_LT(juce::String(entry[-1].name)
                          .toLowerCase()
                          .compare(juce::String(entry->name).toLowerCase()),
                      0)
                << entry->name;
        }
    }
    EXPECT_EQ(count, requiredFunctionCount);
    EXPECT_STREQ(hostApiLoaderTable[0].name, "AddMediaItemToTrack");
    EXPECT_STREQ(entry[-1].name, "UpdateItemInProject");
}

std::vector<std::string> loaderNames()
{
    std::vector<std::string> names;
    for (const HostApiSlot* entry = hostApiLoaderTable; entry->slot != nullptr; ++entry)
        names.push_back(entry->name);
    return names;
}

std::vector<std::string> checkOrder()
{
    std::vector<std::string> names;
    for (const char* const* name = hostApiCheckOrder; *name != nullptr; ++name)
        names.push_back(*name);
    return names;
}

TEST(HostApi, CheckOrderNamesEveryFunctionOnce)
{
    std::vector<std::string> sorted = checkOrder();
    std::sort(sorted.begin(), sorted.end(),
              [](const std::string& a, const std::string& b)
              { return juce::String(a).toLowerCase().compare(juce::String(b).toLowerCase()) < 0; });
    EXPECT_EQ(sorted, loaderNames());
}

TEST(HostApi, FirstPassLooksUpAllAndCountsTheMissingSecondStopsAtTheFirst)
{
    lookedUp.clear();
    missingName = "";
    EXPECT_EQ(REAPERAPI_LoadAPI(getFunc), 0);
    EXPECT_EQ(lookedUp, loaderNames());
    lookedUp.clear();
    EXPECT_TRUE(bindHostApiInCheckOrder(getFunc));
    EXPECT_EQ(lookedUp, checkOrder());
    EXPECT_EQ(reinterpret_cast<void*>(GetProjectPath), reinterpret_cast<void*>(&dummy));

    const std::vector<std::string> order = checkOrder();
    for (size_t missing = 0; missing < order.size(); ++missing)
    {
        lookedUp.clear();
        missingName = order[missing];
        EXPECT_EQ(REAPERAPI_LoadAPI(getFunc), 1) << missingName;
        EXPECT_EQ(lookedUp, loaderNames()) << "every name is looked up, also after a miss";
        lookedUp.clear();
        EXPECT_FALSE(bindHostApiInCheckOrder(getFunc)) << missingName;
        EXPECT_EQ(lookedUp, std::vector<std::string>(order.begin(), order.begin() + missing + 1));
    }
    missingName = "";
}
TEST(HostApi, OptionalFunctionsNeverDecideTheLoad)
{
    // A host that has none of them: both passes succeed, and the optional slots stay empty.
    static std::vector<std::string> optional;
    optional.clear();
    for (const HostApiSlot* entry = hostApiOptionalTable; entry->slot != nullptr; ++entry)
        optional.push_back(entry->name);
    ASSERT_FALSE(optional.empty());
    HostGetFunc withoutOptional = [](const char* name) -> void*
    {
        const bool isOptional = std::find(optional.begin(), optional.end(), name) != optional.end();
        return isOptional ? nullptr : reinterpret_cast<void*>(&dummy);
    };
    EXPECT_EQ(REAPERAPI_LoadAPI(withoutOptional), 0);
    EXPECT_TRUE(bindHostApiInCheckOrder(withoutOptional));
    bindOptionalHostApi(withoutOptional);
    EXPECT_EQ(Undo_BeginBlock2, nullptr);
    EXPECT_EQ(PCM_Source_Destroy, nullptr);

    bindOptionalHostApi(getFunc);
    EXPECT_EQ(reinterpret_cast<void*>(Undo_EndBlock2), reinterpret_cast<void*>(&dummy));
    EXPECT_EQ(reinterpret_cast<void*>(PreventUIRefresh), reinterpret_cast<void*>(&dummy));
}
} // namespace
