#include "capturing_logger.h"
#include "hex.h"
#include "reaper.pb.h"
#include "replies.h"
#include "serialize_message.h"

#include <gtest/gtest.h>

using VantorelReaper::ClientMessage;
using VantorelReaper::ServerMessage;

namespace
{
struct DecodeCase
{
    const char* hex;
    bool decodes;
    ClientMessage::Type type;
};

std::ostream& operator<<(std::ostream& os, const DecodeCase& c)
{
    return os << "[" << c.hex << "]";
}

class Decoding : public testing::TestWithParam<DecodeCase>
{
};

TEST_P(Decoding, ParsesOrRejectsTheWholeBlock)
{
    const DecodeCase& c = GetParam();
    const juce::MemoryBlock bytes = fromHex(c.hex);
    ClientMessage message;
    ASSERT_EQ(message.ParseFromArray(bytes.getData(), static_cast<int>(bytes.getSize())),
              c.decodes);
    if (c.decodes)
    {
        EXPECT_EQ(message.type(), c.type);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Vectors, Decoding,
    testing::Values(DecodeCase{"08 03", true, ClientMessage::VERSION_REQUEST},
                    DecodeCase{"08 03 BA 06 00", true, ClientMessage::VERSION_REQUEST},
                    DecodeCase{"08 04", true, ClientMessage::SESSION_REQUEST},
                    DecodeCase{"08 04 B2 06 00", true, ClientMessage::SESSION_REQUEST},
                    DecodeCase{"08 03 AA 06 02 0A 00", true, ClientMessage::VERSION_REQUEST},
                    DecodeCase{"08 01", true, ClientMessage::SPOT_COMMAND},
                    DecodeCase{"08 01 AA 06 02 0A 00", true, ClientMessage::SPOT_COMMAND},
                    DecodeCase{"08 02", true, ClientMessage::INFO_REQUEST},
                    // out-of-range values are dropped; a valid one before or after stays
                    DecodeCase{"08 03 08 07", true, ClientMessage::VERSION_REQUEST},
                    DecodeCase{"08 02 08 03", true, ClientMessage::VERSION_REQUEST},
                    // undeclared field 2 is skipped
                    DecodeCase{"08 03 10 05", true, ClientMessage::VERSION_REQUEST},
                    // spot_command present without its required file_path
                    DecodeCase{"08 01 AA 06 00", false, {}},
                    // no valid type
                    DecodeCase{"08 05", false, {}}, DecodeCase{"08 00", false, {}},
                    DecodeCase{"", false, {}},
                    DecodeCase{"08 FF FF FF FF FF FF FF FF FF 01", false, {}},
                    // field 1 with the wire type of a float is an unknown field: type stays absent
                    DecodeCase{"0D 03 00 00 00", false, {}},
                    // zero tag, end-group tag, truncated value, byte count past the end
                    DecodeCase{"08 03 00", false, {}}, DecodeCase{"08 03 0C", false, {}},
                    DecodeCase{"08", false, {}}, DecodeCase{"08 01 AA 06 05 0A 00", false, {}}));

TEST(Decoding, SpotCommandFieldsWithPresence)
{
    const juce::MemoryBlock bytes = fromHex("08 01 AA 06 1C 0A 08 43 3A 5C 61 2E 77 61 76 12 04 54 "
                                            "61 6B 65 1D 00 00 C0 3F 25 00 00 80 40 28 01");
    ASSERT_EQ(bytes.getSize(), 33u);
    ClientMessage message;
    ASSERT_TRUE(message.ParseFromArray(bytes.getData(), static_cast<int>(bytes.getSize())));
    ASSERT_TRUE(message.has_spot_command());
    const auto& spot = message.spot_command();
    EXPECT_EQ(spot.file_path(), "C:\\a.wav");
    EXPECT_EQ(spot.name(), "Take");
    EXPECT_TRUE(spot.has_in_point());
    EXPECT_EQ(spot.in_point(), 1.5f);
    EXPECT_TRUE(spot.has_out_point());
    EXPECT_EQ(spot.out_point(), 4.0f);
    EXPECT_TRUE(spot.spare_flag());
}

TEST(Decoding, AbsentSpotCommandReadsAsDefaultWithoutBecomingPresent)
{
    ClientMessage message;
    const juce::MemoryBlock bytes = fromHex("08 01");
    ASSERT_TRUE(message.ParseFromArray(bytes.getData(), static_cast<int>(bytes.getSize())));
    EXPECT_EQ(message.spot_command().file_path(), "");
    EXPECT_FALSE(message.spot_command().has_in_point());
    EXPECT_FALSE(message.spot_command().has_name());
    EXPECT_FALSE(message.has_spot_command());
}

TEST(Decoding, RepeatedSpotCommandIsMerged)
{
    // file_path "ab" first, then a second occurrence with only a name
    const juce::MemoryBlock bytes = fromHex("08 01 AA 06 04 0A 02 61 62 AA 06 03 12 01 4E");
    ClientMessage message;
    ASSERT_TRUE(message.ParseFromArray(bytes.getData(), static_cast<int>(bytes.getSize())));
    EXPECT_EQ(message.spot_command().file_path(), "ab");
    EXPECT_EQ(message.spot_command().name(), "N");
}

TEST(Schema, TypeNamesAndDefaults)
{
    EXPECT_EQ(ClientMessage().GetTypeName(), "VantorelReaper.ClientMessage");
    EXPECT_EQ(ServerMessage().GetTypeName(), "VantorelReaper.ServerMessage");
    EXPECT_EQ(VantorelReaper::SpotCommand().GetTypeName(), "VantorelReaper.SpotCommand");
    EXPECT_EQ(VantorelReaper::SessionRequest().GetTypeName(), "VantorelReaper.SessionRequest");
    EXPECT_EQ(VantorelReaper::VersionRequest().GetTypeName(), "VantorelReaper.VersionRequest");
    EXPECT_EQ(VantorelReaper::Response().GetTypeName(), "VantorelReaper.Response");
    EXPECT_EQ(VantorelReaper::ErrorMessage().GetTypeName(), "VantorelReaper.ErrorMessage");
    EXPECT_EQ(VantorelReaper::Version().GetTypeName(), "VantorelReaper.Version");
    EXPECT_EQ(ClientMessage().type(), ClientMessage::SPOT_COMMAND);
    EXPECT_EQ(ServerMessage().type(), ServerMessage::RESPONSE);
    EXPECT_EQ(VantorelReaper::ErrorMessage().kind(), VantorelReaper::ErrorMessage::KIND_ONE);
}

std::string encoded(const google::protobuf::MessageLite& message)
{
    auto block = serializeMessage(message);
    return block == nullptr ? std::string("<none>") : toHex(*block);
}

TEST(Encoding, VersionAndSpotDoneReplies)
{
    ServerMessage version;
    version.set_type(ServerMessage::VERSION);
    version.mutable_version()->set_version("reaper ext 1.1");
    EXPECT_EQ(encoded(version), versionReply);

    ServerMessage spotDone;
    spotDone.set_type(ServerMessage::SPOT_DONE);
    EXPECT_EQ(encoded(spotDone), "0804");
}

std::string varint(size_t value)
{
    std::string hex;
    do
    {
        const auto byte = static_cast<int>((value & 0x7F) | (value > 0x7F ? 0x80 : 0));
        hex += juce::String::toHexString(byte).paddedLeft('0', 2).toUpperCase().toStdString();
        value >>= 7;
    } while (value != 0);
    return hex;
}

TEST(Encoding, ResponseLengthPrefixesAcrossTheOneByteBoundary)
{
    for (size_t n : {size_t(0), size_t(16), size_t(125), size_t(126), size_t(300)})
    {
        const std::string path(n, 'p');
        ServerMessage reply;
        reply.set_type(ServerMessage::RESPONSE);
        reply.mutable_response()->set_text(path);

        std::string pathHex;
        for (size_t i = 0; i < n; ++i)
            pathHex += "70";
        const std::string inner = "12" + varint(n) + pathHex;
        EXPECT_EQ(encoded(reply), "0801AA06" + varint(inner.size() / 2) + inner) << n;
    }
}

TEST(Encoding, BoundaryPrefixesAreTheDocumentedBytes)
{
    ServerMessage reply;
    reply.set_type(ServerMessage::RESPONSE);
    reply.mutable_response()->set_text(std::string(125, 'p'));
    EXPECT_EQ(encoded(reply).substr(0, 12), "0801AA067F12");
    reply.mutable_response()->set_text(std::string(126, 'p'));
    EXPECT_EQ(encoded(reply).substr(0, 14), "0801AA06800112");
    reply.mutable_response()->set_text("");
    EXPECT_EQ(encoded(reply), emptyProjectPathReply);
}

TEST(Encoding, EmptyMessageGivesNoBlockAndLogsNothing)
{
    CapturingLogger log;
    EXPECT_EQ(serializeMessage(ServerMessage()), nullptr);
    EXPECT_EQ(serializeMessage(VantorelReaper::SessionRequest()), nullptr);
    EXPECT_TRUE(log.lines.isEmpty());
}

TEST(Encoding, BlockIsExactlyTheEncodedSize)
{
    ServerMessage reply;
    reply.set_type(ServerMessage::RESPONSE);
    reply.mutable_response();
    auto block = serializeMessage(reply);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->getSize(), reply.ByteSizeLong());
    EXPECT_EQ(toHex(*block), "0801AA0600");
}
} // namespace
