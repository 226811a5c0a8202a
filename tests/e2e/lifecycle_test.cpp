#include "foreign_pipe.h"
#include "hex.h"
#include "host_run.h"
#include "log_file.h"
#include "pipe_client.h"
#include "replies.h"

#include <gtest/gtest.h>

namespace
{
const char* const incompatibleText =
    "The version of the Vantorel extension you have installed is incompatible with your version of "
    "REAPER. You probably have a REAPER version less than v5 installed.\r\nPlease install the "
    "latest version of REAPER from https://www.reaper.fm.";

class Lifecycle : public testing::Test
{
protected:
    void SetUp() override { logFile().deleteFile(); }

    static int count(const juce::StringArray& lines, const juce::String& prefix)
    {
        int n = 0;
        for (auto& line : lines)
            n += line.startsWith(prefix) ? 1 : 0;
        return n;
    }
};

TEST_F(Lifecycle, DeclinesSilentlyForOtherInterfaceVersionsOrNoGetFunc)
{
    for (const char* scenario :
         {R"({"caller_version": 525})", R"({"caller_version": 527})", R"({"get_func_null": true})"})
    {
        SCOPED_TRACE(scenario);
        HostRun host(scenario);
        ASSERT_TRUE(host.waitForOutput("entry "));
        EXPECT_EQ(host.stop(), 0);
        EXPECT_EQ(host.output(), "entry 0\nunload 0\n");
        EXPECT_EQ(host.state()["message_boxes"].size(), 0);
        EXPECT_FALSE(logFile().exists());
    }
}

TEST_F(Lifecycle, MissingHostFunctionShowsTheIncompatibleBoxAndDeclines)
{
    // GetProjectPath is called on requests; InsertMedia is only bound, yet must be present too.
    for (const char* missing : {"GetProjectPath", "InsertMedia"})
    {
        SCOPED_TRACE(missing);
        HostRun host(juce::String(R"({"missing_functions": [")") + missing + "\"]}");
        ASSERT_TRUE(host.waitForOutput("entry 0"));
        PipeClient peer;
        EXPECT_FALSE(openPipe(peer, 200)) << "no pipe may exist";
        EXPECT_EQ(host.stop(), 0);

        const juce::var boxes = host.state()["message_boxes"];
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_EQ(boxes[0]["title"].toString(), "Incompatible");
        EXPECT_EQ(boxes[0]["text"].toString(), incompatibleText);
        EXPECT_FALSE(logFile().exists());
    }
}

TEST_F(Lifecycle, LoadUnloadLoadStartsAFreshBridge)
{
    HostRun host(R"({"entry_calls": ["load", "unload", "load"]})");
    ASSERT_TRUE(host.waitForOutput("entry 1\nunload 0\nentry 1\n"));
    PipeClient peer;
    ASSERT_TRUE(openPipe(peer, 5000));
    EXPECT_TRUE(request(peer, fromHex("0803"), 5000).has_value());
    closePipe(peer);
    EXPECT_EQ(host.stop(), 0);

    juce::StringArray lines = logLines();
    lines.removeString("**********************************************************");
    for (auto& line : lines)
        if (line.startsWith("Log started: "))
            line = "Log started: ";
    EXPECT_EQ(lines, juce::StringArray({"Log started: ", "pipe created", "~ReaperBridge",
                                        "Log started: ", "pipe created", "~ReaperBridge"}));
}

TEST_F(Lifecycle, SecondLoadKeepsTheOneBridge)
{
    HostRun host(R"({"entry_calls": ["load", "load"]})");
    ASSERT_TRUE(host.waitForOutput("entry 1\nentry 1\n"));
    PipeClient peer;
    ASSERT_TRUE(openPipe(peer, 5000));
    EXPECT_TRUE(request(peer, fromHex("0803"), 5000).has_value());
    closePipe(peer);
    EXPECT_EQ(host.stop(), 0);
    EXPECT_EQ(count(logLines(), "Log started: "), 1);
    EXPECT_EQ(count(logLines(), "pipe created"), 1);
}

TEST_F(Lifecycle, PipeOfTheSameNameInAnotherProcessDoesNotStopTheExtension)
{
    void* foreign = serveForeignPipeInstance();
    ASSERT_NE(foreign, nullptr);
    {
        HostRun host;
        ASSERT_TRUE(host.waitForOutput("entry 1"));
        EXPECT_EQ(host.stop(), 0);
    }
    closeForeignPipe(foreign);
    EXPECT_TRUE(logLines().contains("pipe created"));
}

TEST_F(Lifecycle, LogHeaderHasTheDocumentedShape)
{
    {
        HostRun host;
        ASSERT_TRUE(host.waitForOutput("entry 1"));
        host.stop();
    }
    const juce::String log = logFile().loadFileAsString();
    const juce::String header =
        "\r\n" + juce::String::repeatedString("*", 58) + "\r\n\r\nLog started: ";
    ASSERT_TRUE(log.startsWith(header)) << log;
    EXPECT_TRUE(log.fromFirstOccurrenceOf("Log started: ", false, false)
                    .fromFirstOccurrenceOf("\r\n", false, false)
                    .startsWith("\r\npipe created\r\n~ReaperBridge\r\n"))
        << log;
}

TEST_F(Lifecycle, OversizedLogIsCutToItsTailAtALineBreak)
{
    juce::String old;
    for (int i = 0; old.length() < 200000; ++i)
        old << "old line " << i << " " << juce::String::repeatedString("x", i % 50) << "\r\n";
    logFile().getParentDirectory().createDirectory();
    ASSERT_TRUE(logFile().replaceWithText(old, false, false, nullptr));

    {
        HostRun host;
        ASSERT_TRUE(host.waitForOutput("entry 1"));
        host.stop();
    }
    const juce::String log = logFile().loadFileAsString();
    const juce::String kept =
        log.upToFirstOccurrenceOf("\r\n" + juce::String::repeatedString("*", 58), false, false);
    EXPECT_LE(kept.getNumBytesAsUTF8(), 131072u);
    EXPECT_GT(kept.getNumBytesAsUTF8(), 131072u - 200u);
    EXPECT_TRUE(old.endsWith(kept));
    // The tail starts with the line break found at or after the cut point.
    EXPECT_TRUE(kept.startsWith("\r\nold line ") || kept.startsWith("\nold line "))
        << kept.substring(0, 20);
}

TEST_F(Lifecycle, UnloadIsPromptWhetherOrNotAPeerIsConnected)
{
    for (bool withPeer : {false, true})
    {
        SCOPED_TRACE(withPeer ? "peer connected" : "waiting for a peer");
        logFile().deleteFile();
        HostRun host;
        ASSERT_TRUE(host.waitForOutput("entry 1"));
        PipeClient peer;
        if (withPeer)
        {
            ASSERT_TRUE(openPipe(peer, 5000));
            ASSERT_TRUE(request(peer, fromHex("0803"), 5000).has_value());
        }
        EXPECT_EQ(host.stop(), 0);
        EXPECT_FALSE(logLines().contains("!! killing thread by force !!"));
        EXPECT_EQ(logLines()[logLines().size() - 1], "~ReaperBridge");
    }
}
} // namespace
