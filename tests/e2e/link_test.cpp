#include "hex.h"
#include "host_run.h"
#include "log_file.h"
#include "pipe_client.h"
#include "replies.h"
#include "requests.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace
{
const char* const projectPath = "C:\\proj\\song.rpp"; // 16 bytes
constexpr unsigned long errorPipeBusy = 231;

class Link : public testing::Test
{
protected:
    std::unique_ptr<HostRun> host;
    PipeClient peer;

    void start(const juce::String& scenario)
    {
        logFile().deleteFile();
        host = std::make_unique<HostRun>(scenario);
        ASSERT_TRUE(host->waitForOutput("entry 1"));
        ASSERT_TRUE(openPipe(peer, 5000)) << peer.lastError;
    }

    void SetUp() override
    {
        start(juce::String(R"({"project_path": )") + juce::JSON::toString(projectPath) + "}");
    }

    void TearDown() override
    {
        closePipe(peer);
        if (host != nullptr)
        {
            EXPECT_EQ(host->stop(), 0);
        }
    }

    std::string ask(const char* hex)
    {
        const auto reply = request(peer, fromHex(hex), 5000);
        return reply ? toHex(*reply) : "<no reply>";
    }

    void send(const juce::MemoryBlock& bytes)
    {
        ASSERT_TRUE(writeBytes(peer, bytes.getData(), bytes.getSize()));
    }
};

TEST_F(Link, RepliesByteForByte)
{
    EXPECT_EQ(ask("0803"), versionReply);
    EXPECT_EQ(ask("0804"), "0801AA06121210" + toHex(juce::MemoryBlock(projectPath, 16)));
}

TEST_F(Link, EmptyAndOverlongProjectPaths)
{
    closePipe(peer);
    host->stop();
    start("{}");
    EXPECT_EQ(ask("0804"), emptyProjectPathReply);

    // A host that fills the whole 4096-byte buffer without a terminator.
    closePipe(peer);
    host->stop();
    start(juce::String(R"({"project_path": ")") + juce::String::repeatedString("p", 5000) + "\"}");
    const auto reply = request(peer, fromHex("0804"), 5000);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(reply->getSize(), 4u + 2u + 1u + 2u + 4096u);
}

TEST_F(Link, SecondClientFindsThePipeBusy)
{
    PipeClient other;
    EXPECT_FALSE(openPipe(other, 300));
    EXPECT_EQ(other.lastError, errorPipeBusy);
    EXPECT_EQ(ask("0803"), versionReply);
}

TEST_F(Link, PeersComeAndGoUnnoticed)
{
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(ask("0803"), versionReply);
        closePipe(peer);
        ASSERT_TRUE(openPipe(peer, 5000));
    }
    EXPECT_EQ(ask("0803"), versionReply);
    EXPECT_FALSE(logLines().contains("Connection Lost"));
}

TEST_F(Link, BadHeadersDeliverNothingAndKeepTheLink)
{
    // A foreign magic number costs that one read; length 0 or negative consumes just the header.
    send(fromHex("EFBEADDE02000000"));
    juce::Thread::sleep(200);
    send(frameHeader(frameMagic, 0));
    send(frameHeader(frameMagic, -5));
    EXPECT_EQ(ask("0803"), versionReply);
    EXPECT_TRUE(nothingArrivesWithin(peer, 200));
    EXPECT_FALSE(linesOfLastSession().contains("Unable to parse message"));
}

TEST_F(Link, ZeroLengthFrameThenAFrameInOneWrite)
{
    juce::MemoryBlock bytes = frameHeader(frameMagic, 0);
    bytes.append(frame(fromHex("0803")).getData(), frame(fromHex("0803")).getSize());
    send(bytes);
    const auto reply = readFrame(peer, 5000);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(toHex(*reply), versionReply);
}

TEST_F(Link, TwoFramesInOneWriteGiveTwoRepliesInOrder)
{
    juce::MemoryBlock bytes = frame(fromHex("0804"));
    const juce::MemoryBlock second = frame(fromHex("0803"));
    bytes.append(second.getData(), second.getSize());
    send(bytes);
    const auto first = readFrame(peer, 5000);
    const auto next = readFrame(peer, 5000);
    ASSERT_TRUE(first && next);
    EXPECT_EQ(toHex(*first).substr(0, 8), "0801AA06");
    EXPECT_EQ(toHex(*next), versionReply);
}

TEST_F(Link, PayloadLargerThanOneReadArrivesWhole)
{
    // A version request carrying an undeclared field of 70000 bytes, which the decoder skips.
    juce::MemoryBlock payload = fromHex("0803 12 F0A204");
    payload.append(juce::String::repeatedString("z", 70000).toRawUTF8(), 70000);
    const juce::MemoryBlock bytes = frame(payload);

    send(bytes);
    EXPECT_EQ(toHex(readFrame(peer, 5000).value_or(juce::MemoryBlock())), versionReply);

    for (size_t offset = 0; offset < bytes.getSize(); offset += 4096)
    {
        if (offset == 0)
            send(juce::MemoryBlock(bytes.getData(), 8)); // the header in one write
        const size_t from = offset == 0 ? 8 : offset;
        send(juce::MemoryBlock(static_cast<const char*>(bytes.getData()) + from,
                               juce::jmin(bytes.getSize(), offset + 4096) - from));
    }
    EXPECT_EQ(toHex(readFrame(peer, 5000).value_or(juce::MemoryBlock())), versionReply);
}

TEST_F(Link, InfoAndUndecodableRequestsAreLoggedAndUnanswered)
{
    send(frame(fromHex("0802")));
    send(frame(fromHex("0805")));
    send(frame(fromHex("08")));
    EXPECT_TRUE(nothingArrivesWithin(peer, 300));
    EXPECT_EQ(ask("0803"), versionReply);
    EXPECT_EQ(linesOfLastSession(),
              juce::StringArray({"pipe created", "Info request", "Unable to parse message",
                                 "Unable to parse message"}));
}

// A host whose peak-building action runs the message loop for a while, as its progress window
// does, so that requests arrive while a spot command is still being handled.
const char* const pumpingHost = R"({"tracks": [{"selected": true}], "sources": {"C:\\a.wav": 10.0},
                                    "peak_action_pumps_ms": 400})";

TEST(LinkEdges, ProbesWhileTheHostLoadsLeaveThePipeServing)
{
    // A program that checks whether the host is up opens the pipe and closes it at once, over and
    // over, from before the pipe exists until after the extension has loaded.
    logFile().deleteFile();
    std::atomic<bool> probing{true};
    std::atomic<int> probes{0};
    std::thread prober(
        [&]
        {
            while (probing)
            {
                PipeClient probe;
                if (openPipe(probe, 0))
                    ++probes;
            }
        });
    HostRun host;
    const bool loaded = host.waitForOutput("entry 1");
    juce::Thread::sleep(300);
    probing = false;
    prober.join();
    ASSERT_TRUE(loaded);
    EXPECT_GT(probes.load(), 0);

    PipeClient peer;
    ASSERT_TRUE(openPipe(peer, 5000)) << "error " << peer.lastError;
    const auto reply = request(peer, fromHex("0803"), 5000);
    EXPECT_EQ(reply ? toHex(*reply) : "<no reply>", versionReply);
}

TEST(LinkEdges, RequestsArrivingWhileTheHostPumpsWaitTheirTurn)
{
    logFile().deleteFile();
    HostRun host(pumpingHost);
    ASSERT_TRUE(host.waitForOutput("entry 1"));
    PipeClient peer;
    ASSERT_TRUE(openPipe(peer, 5000));
    const juce::MemoryBlock first = frame(encodeSpotCommand({"C:\\a.wav", "first"}));
    ASSERT_TRUE(writeBytes(peer, first.getData(), first.getSize()));
    ASSERT_TRUE(host.waitForOutput("pumping messages"));

    // Both arrive while the first spot command is inside the host's action.
    juce::MemoryBlock more = frame(encodeSpotCommand({"C:\\a.wav", "second"}));
    more.append(frame(fromHex("0803")).getData(), frame(fromHex("0803")).getSize());
    ASSERT_TRUE(writeBytes(peer, more.getData(), more.getSize()));
    std::vector<std::string> replies;
    for (int i = 0; i < 3; ++i)
    {
        const auto reply = readFrame(peer, 10000);
        replies.push_back(reply ? toHex(*reply) : "<no reply>");
    }
    EXPECT_EQ(replies, (std::vector<std::string>{spotDoneReply, spotDoneReply, versionReply}));
    closePipe(peer);
    ASSERT_EQ(host.stop(), 0);

    const juce::var items = host.state()["tracks"][0]["items"];
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]["takes"][0]["name"].toString(), "first");
    EXPECT_EQ(items[1]["takes"][0]["name"].toString(), "second");
    EXPECT_EQ(static_cast<double>(items[1]["position"]), 10.0);
    EXPECT_EQ(juce::JSON::toString(host.state()["nested_host_calls"], true), "[]");
}

TEST(LinkEdges, APeerNeverReadsAReplyItDidNotAskFor)
{
    logFile().deleteFile();
    HostRun host(pumpingHost);
    ASSERT_TRUE(host.waitForOutput("entry 1"));
    {
        PipeClient leaving;
        ASSERT_TRUE(openPipe(leaving, 5000));
        const juce::MemoryBlock spot = frame(encodeSpotCommand({"C:\\a.wav", "gone"}));
        ASSERT_TRUE(writeBytes(leaving, spot.getData(), spot.getSize()));
    }
    ASSERT_TRUE(host.waitForOutput("pumping messages"));

    // The next peer arrives while the departed one's request is still being handled, and asks
    // again once that request is over: each time only its own reply may come back.
    PipeClient next;
    ASSERT_TRUE(openPipe(next, 5000));
    const auto during = request(next, fromHex("0803"), 10000);
    EXPECT_EQ(during ? toHex(*during) : "<no reply>", versionReply);
    ASSERT_TRUE(host.waitForOutput("pumped messages"));
    const auto after = request(next, fromHex("0803"), 10000);
    EXPECT_EQ(after ? toHex(*after) : "<no reply>", versionReply);
    closePipe(next);
    EXPECT_EQ(host.stop(), 0);
    EXPECT_EQ(host.state()["tracks"][0]["items"].size(), 1);
}
} // namespace
