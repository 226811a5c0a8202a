#include "hex.h"
#include "host_run.h"
#include "log_file.h"
#include "pipe_client.h"
#include "replies.h"
#include "requests.h"

#include <gtest/gtest.h>

namespace
{
constexpr unsigned long errorBrokenPipe = 109;
constexpr unsigned long errorPipeNotConnected = 233;

class Hostile : public testing::Test
{
protected:
    std::unique_ptr<HostRun> host;

    void start(const juce::String& scenario = "{}")
    {
        logFile().deleteFile();
        host = std::make_unique<HostRun>(scenario);
        ASSERT_TRUE(host->waitForOutput("entry 1"));
    }

    void SetUp() override { start(); }

    // Every hostile test ends with a fresh peer that is served exactly, and a clean unload.
    void TearDown() override
    {
        if (!HasFatalFailure())
        {
            PipeClient fresh;
            ASSERT_TRUE(openPipe(fresh, 5000)) << fresh.lastError;
            const auto reply = request(fresh, fromHex("0803"), 5000);
            EXPECT_EQ(reply ? toHex(*reply) : "<no reply>", versionReply);
        }
        EXPECT_EQ(host->stop(), 0);
        EXPECT_FALSE(logLines().contains("Connection Lost"));
        EXPECT_FALSE(logLines().contains("!! killing thread by force !!"));
    }

    static void send(PipeClient& peer, const juce::MemoryBlock& bytes)
    {
        ASSERT_TRUE(writeBytes(peer, bytes.getData(), bytes.getSize()));
    }

    // Whether the extension has disconnected the peer: its read fails with a broken pipe
    // instead of waiting in vain (which would end in a time-out).
    static testing::AssertionResult isDropped(PipeClient& peer)
    {
        if (readFrame(peer, 10000).has_value())
            return testing::AssertionFailure() << "a reply came";
        if (peer.lastError != errorBrokenPipe && peer.lastError != errorPipeNotConnected)
            return testing::AssertionFailure() << "read ended with error " << peer.lastError;
        return testing::AssertionSuccess();
    }
};

TEST_F(Hostile, HugeAnnouncedLengthDropsThatPeerOnly)
{
    PipeClient peer;
    ASSERT_TRUE(openPipe(peer, 5000));
    juce::MemoryBlock bytes = frameHeader(frameMagic, 0x7FFFFFFF);
    bytes.append("0123456789", 10);
    send(peer, bytes);
    EXPECT_TRUE(isDropped(peer));
}

TEST_F(Hostile, LengthJustOverTheBoundIsRefusedAndAtTheBoundAccepted)
{
    // A version request padded with an undeclared field to exactly 1 MiB decodes and is answered.
    const int size = 1024 * 1024;
    juce::MemoryBlock payload = fromHex("0803 12 FAFF3F");
    payload.setSize(static_cast<size_t>(size), true);
    PipeClient peer;
    ASSERT_TRUE(openPipe(peer, 5000));
    const auto reply = request(peer, payload, 10000);
    EXPECT_EQ(reply ? toHex(*reply) : "<no reply>", versionReply);

    send(peer, frameHeader(frameMagic, size + 1));
    EXPECT_TRUE(isDropped(peer));
}

TEST_F(Hostile, NegativeLengthsAreSkippedAndTheLinkStaysUp)
{
    PipeClient peer;
    ASSERT_TRUE(openPipe(peer, 5000));
    for (juce::int32 length : {-1, -65536, std::numeric_limits<juce::int32>::min()})
        send(peer, frameHeader(frameMagic, length));
    const auto reply = request(peer, fromHex("0803"), 5000);
    EXPECT_EQ(reply ? toHex(*reply) : "<no reply>", versionReply);
}

TEST_F(Hostile, HeaderSplitOverTwoWritesDeliversNothing)
{
    PipeClient peer;
    ASSERT_TRUE(openPipe(peer, 5000));
    const juce::MemoryBlock bytes = frame(fromHex("0803"));
    send(peer, juce::MemoryBlock(bytes.getData(), 4));
    juce::Thread::sleep(100);
    send(peer,
         juce::MemoryBlock(static_cast<const char*>(bytes.getData()) + 4, bytes.getSize() - 4));
    EXPECT_TRUE(nothingArrivesWithin(peer, 300));
}

TEST_F(Hostile, RandomBytesAndRandomDisconnects)
{
    juce::Random random(20261210);
    for (int round = 0; round < 300; ++round)
    {
        PipeClient peer;
        ASSERT_TRUE(openPipe(peer, 5000)) << "round " << round;
        const int writes = 1 + random.nextInt(4);
        for (int w = 0; w < writes; ++w)
        {
            juce::MemoryBlock bytes;
            if (random.nextBool()) // a plausible header in front of random bytes
                bytes = frameHeader(frameMagic, random.nextInt(64) - 8);
            juce::MemoryBlock noise(static_cast<size_t>(random.nextInt(200)));
            random.fillBitsRandomly(noise.getData(), noise.getSize());
            bytes.append(noise.getData(), noise.getSize());
            if (!writeBytes(peer, bytes.getData(), bytes.getSize(), 2000))
                break; // dropped for a huge announced length: fine
        }
        if (random.nextInt(4) == 0)
            nothingArrivesWithin(peer, 5);
    }
}

TEST_F(Hostile, TwoThousandShortConnections)
{
    for (int cycle = 0; cycle < 2000; ++cycle)
    {
        PipeClient peer;
        ASSERT_TRUE(openPipe(peer, 5000)) << "cycle " << cycle;
        const auto reply = request(peer, fromHex("0803"), 5000);
        ASSERT_EQ(reply ? toHex(*reply) : "<no reply>", versionReply) << "cycle " << cycle;
    }
}

TEST_F(Hostile, APeerLeavingRightAfterItsRequestNeverFeedsTheNextOne)
{
    // The departing peer's request and the next peer's differ in their replies, so a reply that
    // reached the wrong peer, or a request joined from both, shows at once.
    for (int round = 0; round < 500; ++round)
    {
        {
            PipeClient leaving;
            ASSERT_TRUE(openPipe(leaving, 5000)) << "round " << round;
            send(leaving, frame(fromHex("0804")));
        }
        PipeClient next;
        ASSERT_TRUE(openPipe(next, 5000)) << "round " << round;
        const auto reply = request(next, fromHex("0803"), 5000);
        ASSERT_EQ(reply ? toHex(*reply) : "<no reply>", versionReply) << "round " << round;
    }
}

TEST_F(Hostile, TwentyThousandRequestsOnOneConnection)
{
    PipeClient peer;
    ASSERT_TRUE(openPipe(peer, 5000));
    const juce::MemoryBlock version = frame(fromHex("0803"));
    const juce::MemoryBlock session = frame(fromHex("0804"));
    constexpr int batch = 50;
    for (int sent = 0; sent < 20000; sent += batch)
    {
        juce::MemoryBlock bytes;
        for (int i = 0; i < batch; ++i)
            bytes.append(((sent + i) % 2 == 0 ? version : session).getData(), version.getSize());
        send(peer, bytes);
        for (int i = 0; i < batch; ++i)
        {
            const auto reply = readFrame(peer, 5000);
            ASSERT_TRUE(reply.has_value()) << "request " << sent + i;
            ASSERT_EQ(toHex(*reply), (sent + i) % 2 == 0 ? versionReply : emptyProjectPathReply)
                << "request " << sent + i;
        }
    }
}

TEST_F(Hostile, PeerThatNeverReadsCostsTheMainThreadAboutOneSecond)
{
    host->stop();
    // Replies of about 3 KB each overflow the pipe's buffer long before 200 are written.
    start(R"({"project_path": ")" + juce::String::repeatedString("p", 3000) + "\"}");
    {
        PipeClient silent;
        ASSERT_TRUE(openPipe(silent, 5000));
        juce::MemoryBlock bytes;
        for (int i = 0; i < 200; ++i)
            bytes.append(frame(fromHex("0804")).getData(), 10);
        send(silent, bytes);
        juce::Thread::sleep(2500);
        // Its stream may hold part of a reply, so the peer was dropped: once the replies
        // written before are read, the pipe is broken rather than silent.
        int replies = 0;
        while (readFrame(silent, 1000))
            ++replies;
        EXPECT_LT(replies, 200);
        EXPECT_TRUE(silent.lastError == errorBrokenPipe ||
                    silent.lastError == errorPipeNotConnected)
            << silent.lastError;
    }
    PipeClient next;
    ASSERT_TRUE(openPipe(next, 5000));
    const auto reply = request(next, fromHex("0803"), 5000);
    EXPECT_EQ(reply ? toHex(*reply) : "<no reply>", versionReply)
        << "a stranger's reply came first";
    closePipe(next);

    EXPECT_EQ(host->stop(), 0);
    const juce::var dispatch = host->state()["dispatch"];
    std::printf("main thread: longest dispatch %.1f ms, all dispatches %.1f ms\n",
                static_cast<double>(dispatch["max_ms"]), static_cast<double>(dispatch["total_ms"]));
    // One write time-out (1000 ms) in all, not one per reply; the bounds only catch the latter.
    EXPECT_LT(static_cast<double>(dispatch["max_ms"]), 10000.0);
    EXPECT_LT(static_cast<double>(dispatch["total_ms"]), 20000.0);
    start();
}

TEST_F(Hostile, UnloadWithAPeerMidFrameIsPrompt)
{
    PipeClient peer;
    ASSERT_TRUE(openPipe(peer, 5000));
    juce::MemoryBlock bytes = frameHeader(frameMagic, 100);
    bytes.append("0123456789", 10);
    send(peer, bytes);
    juce::Thread::sleep(100);
    EXPECT_EQ(host->stop(), 0);
    EXPECT_FALSE(logLines().contains("!! killing thread by force !!"));
    closePipe(peer);
    start();
}

TEST_F(Hostile, UnwritableLogFolderStillServesPeers)
{
    host->stop();
    const juce::File folder = logFile().getParentDirectory();
    folder.deleteRecursively();
    ASSERT_TRUE(folder.replaceWithText("a file where the log folder should be"));
    start();
    PipeClient peer;
    ASSERT_TRUE(openPipe(peer, 5000));
    const auto reply = request(peer, fromHex("0803"), 5000);
    EXPECT_EQ(reply ? toHex(*reply) : "<no reply>", versionReply);
    closePipe(peer);
    EXPECT_EQ(host->stop(), 0);
    folder.deleteFile();
    start();
}
} // namespace
