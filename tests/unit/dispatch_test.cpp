#include "capturing_logger.h"
#include "dispatch_request.h"
#include "hex.h"
#include "host_api.h"
#include "host_model.h"
#include "replies.h"

#include <gtest/gtest.h>

namespace
{
struct DispatchCase
{
    const char* label;
    const char* request;
    const char* reply; // hex, or nullptr for none
    const char* logLine;
};

std::ostream& operator<<(std::ostream& os, const DispatchCase& c)
{
    return os << c.label;
}

class Dispatch : public testing::TestWithParam<DispatchCase>
{
protected:
    HostModel& host = hostModel();
    CapturingLogger log;

    void SetUp() override
    {
        host.addTrack(true);
        host.fileLengths["C:\\a.wav"] = 10.0;
        host.projectPath = "C:\\proj\\song.rpp";
    }
};

TEST_P(Dispatch, RepliesAndLogs)
{
    const DispatchCase& c = GetParam();
    const RequestOutcome outcome = dispatchRequest(fromHex(c.request));
    if (c.reply == nullptr)
    {
        EXPECT_EQ(outcome.reply, nullptr);
    }
    else
    {
        ASSERT_NE(outcome.reply, nullptr);
        EXPECT_EQ(toHex(*outcome.reply), c.reply);
    }
    EXPECT_EQ(outcome.logLine, juce::String(c.logLine));
}

INSTANTIATE_TEST_SUITE_P(
    Requests, Dispatch,
    testing::Values(
        DispatchCase{"version", "08 03", versionReply, ""},
        DispatchCase{"project_path", "08 04", "0801AA06121210433A5C70726F6A5C736F6E672E727070", ""},
        DispatchCase{"info", "08 02", nullptr, "Info request"},
        DispatchCase{"spot", "08 01 AA 06 0A 0A 08 43 3A 5C 61 2E 77 61 76", "0804", ""},
        // SPOT_DONE, then error (field 102): code 1 and the text exactly as it is logged.
        DispatchCase{"spot_failure_answered_with_its_error",
                     "08 01 AA 06 0A 0A 08 43 3A 5C 62 2E 77 61 76",
                     "0804B2062710011A23556E61626C6520746F2066696E6420736F757263652066696C653A433A"
                     "5C622E776176",
                     "Unable to find source file:C:\\b.wav"},
        DispatchCase{"spot_without_command_uses_empty_path", "08 01",
                     "0804B2061F10011A1B556E61626C6520746F2066696E6420736F757263652066696C653A",
                     "Unable to find source file:"},
        DispatchCase{"version_with_spot_payload_only_answers", "08 03 AA 06 02 0A 00", versionReply,
                     ""},
        DispatchCase{"type_out_of_range", "08 05", nullptr, "Unable to parse message"},
        DispatchCase{"no_type", "", nullptr, "Unable to parse message"},
        DispatchCase{"cut_short", "08 01 AA 06 0A 0A 08 43 3A", nullptr,
                     "Unable to parse message"}),
    [](const auto& row) { return std::string(row.param.label); });

TEST_F(Dispatch, VersionRequestCarryingASpotCommandPlacesNothing)
{
    dispatchRequest(fromHex("08 03 AA 06 0A 0A 08 43 3A 5C 61 2E 77 61 76"));
    EXPECT_TRUE(host.tracks[0]->items.empty());
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(Dispatch, SpotFailureWithoutATrackCarriesItsCode)
{
    host.tracks.clear();
    const RequestOutcome outcome =
        dispatchRequest(fromHex("08 01 AA 06 0A 0A 08 43 3A 5C 61 2E 77 61 76"));
    ASSERT_NE(outcome.reply, nullptr);
    EXPECT_EQ(toHex(*outcome.reply), "0804B2060C10021A084E6F20747261636B");
    EXPECT_EQ(outcome.logLine, "No track");
}

TEST_F(Dispatch, EmptyProjectPath)
{
    host.projectPath = "";
    EXPECT_EQ(toHex(*dispatchRequest(fromHex("08 04")).reply), emptyProjectPathReply);
    GetProjectPath = [](char*, int) {}; // a host that writes nothing at all
    EXPECT_EQ(toHex(*dispatchRequest(fromHex("08 04")).reply), emptyProjectPathReply);
}

TEST_F(Dispatch, ProjectPathFillingTheWholeBufferIsTaken)
{
    host.projectPath.assign(4096, 'a');
    const auto reply = dispatchRequest(fromHex("08 04")).reply;
    ASSERT_NE(reply, nullptr);
    // 08 01 AA 06, the Response's size in two bytes, 12, 4096 in two bytes, then the path
    EXPECT_EQ(reply->getSize(), 4u + 2u + 1u + 2u + 4096u);
}

TEST_F(Dispatch, ProjectPathEndingInACutCharacterStaysInsideTheBuffer)
{
    // A buffer without NUL whose last byte starts a three-byte sequence: that byte is replaced.
    host.projectPath.assign(4096, 'a');
    host.projectPath.back() = '\xE2';
    const auto reply = dispatchRequest(fromHex("08 04")).reply;
    ASSERT_NE(reply, nullptr);
    EXPECT_EQ(reply->getSize(), 4u + 2u + 1u + 2u + 4095u + 3u);
}

TEST_F(Dispatch, NonAsciiProjectPathKeepsItsBytes)
{
    const std::string path = "C:\\Projekte\\Gr\xC3\xB6\xC3\x9F"
                             "e.rpp";
    host.projectPath = path;
    const auto reply = dispatchRequest(fromHex("08 04")).reply;
    const std::string bytes(static_cast<const char*>(reply->getData()), reply->getSize());
    EXPECT_EQ(bytes.substr(bytes.size() - path.size()), path);
}
} // namespace
