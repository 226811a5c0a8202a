#include "hex.h"
#include "host_run.h"
#include "log_file.h"
#include "pipe_client.h"
#include "replies.h"
#include "requests.h"
#include "wav_file.h"

#include <gtest/gtest.h>

namespace
{
// Runs the host with a scenario, sends one spot command and returns the host's final state.
juce::var spotInHost(const juce::String& scenario, const SpotRequest& spot, std::string& reply)
{
    logFile().deleteFile();
    HostRun host(scenario);
    EXPECT_TRUE(host.waitForOutput("entry 1"));
    PipeClient peer;
    EXPECT_TRUE(openPipe(peer, 5000));
    const auto answer = request(peer, encodeSpotCommand(spot), 5000);
    reply = answer ? toHex(*answer) : "<no reply>";
    closePipe(peer);
    EXPECT_EQ(host.stop(), 0);
    return host.state();
}

const char* const twoTracks =
    R"("tracks": [{"selected": false}, {"selected": true}], "sources": {"C:\\a.wav": 10.0})";

TEST(SpotEndToEnd, RegionLandsAtTheCursorAndMovesIt)
{
    std::string reply;
    const juce::var state = spotInHost(juce::String("{") + twoTracks + R"(, "cursor": 30.0})",
                                       {"C:\\a.wav", "Take", 2.0f, 5.0f}, reply);
    EXPECT_EQ(reply, "0804");
    EXPECT_EQ(state["tracks"][0]["items"].size(), 0);
    const juce::var item = state["tracks"][1]["items"][0];
    EXPECT_EQ(static_cast<double>(item["position"]), 30.0);
    EXPECT_EQ(static_cast<double>(item["length"]), 3.0);
    EXPECT_FALSE(static_cast<bool>(item["loop_source"]));
    ASSERT_EQ(item["takes"].size(), 1);
    EXPECT_EQ(item["takes"][0]["name"].toString(), "Take");
    EXPECT_EQ(static_cast<double>(item["takes"][0]["start_offset"]), 2.0);
    EXPECT_EQ(item["takes"][0]["source"].toString(), "C:\\a.wav");
    EXPECT_EQ(static_cast<double>(state["cursor"]), 33.0);
    EXPECT_EQ(juce::JSON::toString(state["commands"], true), "[[40047, 0]]");
    EXPECT_EQ(static_cast<int>(state["sources_unattached"]), 0);
    // One undo point for the spot, naming the take, that holds the one new item.
    EXPECT_EQ(juce::JSON::toString(state["undo_points"], true),
              R"([{"description": "Spot \"Take\"", "flags": 4, "items": 1}])");
    EXPECT_EQ(static_cast<int>(state["ui_refresh_depth"]), 0);
    EXPECT_EQ(
        linesOfLastSession(),
        juce::StringArray({"pipe created", "Selection In:0.000000 Out:0.000000", "~ReaperBridge"}));
}

TEST(SpotEndToEnd, TimeSelectionAroundTheCursorShortensTheItem)
{
    std::string reply;
    const juce::var state = spotInHost(
        R"({"tracks": [{"selected": true}], "sources": {"C:\\six.wav": 6.0},
            "cursor": 10.0, "time_selection": [8.0, 12.0]})",
        {"C:\\six.wav", "Six"}, reply);
    EXPECT_EQ(reply, "0804");
    EXPECT_EQ(static_cast<double>(state["tracks"][0]["items"][0]["length"]), 4.0);
    EXPECT_EQ(static_cast<double>(state["cursor"]), 14.0);
    EXPECT_TRUE(linesOfLastSession().contains("Selection In:8.000000 Out:12.000000"));
}

TEST(SpotEndToEnd, FailuresAreRepliedWithTheirErrorAndLeaveTheProjectAsItWas)
{
    struct Case
    {
        const char* scenario;
        const char* path;
        const char* logLine;
        const char* reply; // SPOT_DONE with the failure's code and text
    } cases[] = {
        {R"({"sources": {"C:\\a.wav": 10.0}, "cursor": 5.0})", "C:\\a.wav", "No track",
         "0804B2060C10021A084E6F20747261636B"},
        {R"({"tracks": [{"selected": true}], "cursor": 5.0})", "C:\\missing.wav",
         "Unable to find source file:C:\\missing.wav",
         "0804B2062D10011A29556E61626C6520746F2066696E6420736F757263652066696C653A433A5C6D6973"
         "73696E672E776176"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.logLine);
        std::string reply;
        const juce::var state = spotInHost(c.scenario, {c.path, "Take"}, reply);
        EXPECT_EQ(reply, c.reply);
        EXPECT_EQ(state["undo_points"].size(), 0);
        EXPECT_EQ(static_cast<int>(state["ui_refresh_depth"]), 0);
        EXPECT_EQ(static_cast<double>(state["cursor"]), 5.0);
        EXPECT_EQ(juce::JSON::toString(state["commands"], true), "[]");
        EXPECT_EQ(static_cast<int>(state["sources_created"]), 0);
        for (auto& track : *state["tracks"].getArray())
            EXPECT_EQ(track["items"].size(), 0);
        EXPECT_EQ(linesOfLastSession()[linesOfLastSession().size() - 2], c.logLine);
    }
}

TEST(SpotEndToEnd, HostWithoutTheOptionalFunctionsLoadsAndSpotsAsBefore)
{
    std::string reply;
    const juce::var state = spotInHost(
        juce::String("{") + twoTracks +
            R"(, "cursor": 30.0, "missing_functions": ["Undo_BeginBlock2", "Undo_EndBlock2",
                "PreventUIRefresh", "PCM_Source_Destroy"]})",
        {"C:\\a.wav", "Take", 2.0f, 5.0f}, reply);
    EXPECT_EQ(juce::JSON::toString(state["entry_results"], true), "[1, 0]");
    EXPECT_EQ(state["message_boxes"].size(), 0);
    EXPECT_EQ(reply, spotDoneReply);
    EXPECT_EQ(static_cast<double>(state["tracks"][1]["items"][0]["length"]), 3.0);
    EXPECT_EQ(static_cast<double>(state["cursor"]), 33.0);
    EXPECT_EQ(state["undo_points"].size(), 0);
}

TEST(SpotEndToEnd, NonAsciiPathOfARealWavFileReachesTheHostUnchanged)
{
    const juce::File wav = juce::File::getSpecialLocation(juce::File::tempDirectory)
                               .getChildFile(juce::String::fromUTF8("Kl\xC3\xA4nge \xE6\xB3\xA2"))
                               .getChildFile(juce::String::fromUTF8("S\xC3\xBC\xC3\x9F.wav"));
    writeWav(wav, 2.5);
    const std::string path = wav.getFullPathName().toStdString();

    std::string reply;
    const juce::var state = spotInHost(R"({"tracks": [{"selected": true}], "cursor": 1.0})",
                                       {path, "\xE6\xB3\xA2"}, reply);
    wav.getParentDirectory().deleteRecursively();
    EXPECT_EQ(reply, "0804");
    const juce::var take = state["tracks"][0]["items"][0]["takes"][0];
    EXPECT_EQ(take["source"].toString().toStdString(), path);
    EXPECT_EQ(take["name"].toString().toStdString(), "\xE6\xB3\xA2");
    EXPECT_EQ(static_cast<double>(state["tracks"][0]["items"][0]["length"]), 2.5);
    EXPECT_EQ(static_cast<double>(state["cursor"]), 3.5);
}

TEST(SpotEndToEnd, CommandLinePeer)
{
    const juce::String peer =
        "\"" + artifactDirectory().getChildFile("peer.exe").getFullPathName() + "\"";

    // With no extension listening the peer says so on one line and fails.
    juce::String said;
    EXPECT_NE(runProgram(peer + " version", said), 0);
    EXPECT_TRUE(said.startsWith("peer: no extension is listening on " + extensionPipePath()))
        << said;
    EXPECT_EQ(said.trim().indexOfChar('\n'), -1) << "one line";

    logFile().deleteFile();
    HostRun host(juce::String("{") + twoTracks + R"(, "cursor": 30.0})");
    ASSERT_TRUE(host.waitForOutput("entry 1"));
    EXPECT_EQ(runProgram(peer + " --json spot C:\\a.wav --name Take --in 2 --out 5", said), 0);
    EXPECT_EQ(said.trim(), R"({"reply": "SPOT_DONE", "bytes": "0804"})");
    // A spot the host could not carry out: the peer says why and fails.
    EXPECT_EQ(runProgram(peer + " spot C:\\missing.wav", said), 1);
    EXPECT_EQ(said.trim(), "spot failed: Unable to find source file:C:\\missing.wav (code 1)");
    EXPECT_EQ(host.stop(), 0);
    EXPECT_EQ(static_cast<double>(host.state()["cursor"]), 33.0);
}
} // namespace
