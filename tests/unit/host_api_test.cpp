#include "host_api.h"

#include <cstring>
#include <gtest/gtest.h>
#include <juce_core/juce_core.h>
#include <set>
#include <string>

namespace
{
std::set<std::string> lookedUp;
std::string missingName;

void dummy() {}

void* getFunc(const char* name)
{
    lookedUp.insert(name);
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
    EXPECT_EQ(count, 24);
    EXPECT_STREQ(hostApiLoaderTable[0].name, "AddMediaItemToTrack");
    EXPECT_STREQ(entry[-1].name, "UpdateItemInProject");
}

TEST(HostApi, LoadCountsEveryMissingNameAndLooksUpAll)
{
    lookedUp.clear();
    missingName = "";
    EXPECT_EQ(REAPERAPI_LoadAPI(getFunc), 0);
    EXPECT_EQ(lookedUp.size(), 24u);
    EXPECT_TRUE(bindHostApiInCheckOrder(getFunc));
    EXPECT_EQ(reinterpret_cast<void*>(GetProjectPath), reinterpret_cast<void*>(&dummy));

    for (const HostApiSlot* entry = hostApiLoaderTable; entry->slot != nullptr; ++entry)
    {
        lookedUp.clear();
        missingName = entry->name;
        EXPECT_EQ(REAPERAPI_LoadAPI(getFunc), 1) << entry->name;
        EXPECT_EQ(lookedUp.size(), 24u) << "every name is looked up, also after a miss";
        EXPECT_FALSE(bindHostApiInCheckOrder(getFunc)) << entry->name;
    }
    missingName = "";
}
} // namespace
