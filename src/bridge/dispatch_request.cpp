#include "dispatch_request.h"

#include "decode_utf8.h"
#include "handle_spot_command.h"
#include "host_api.h"
#include "reaper.pb.h"
#include "serialize_message.h"

namespace
{
using VantorelReaper::ClientMessage;
using VantorelReaper::ServerMessage;

const char* const versionText = "reaper ext 1.1";
constexpr int projectPathBufferSize = 4096;

// SPOT_DONE whatever happened, as peers expect; a failure adds its code and text.
boost::shared_ptr<juce::MemoryBlock> spotDoneReply(const juce::Result& outcome)
{
    ServerMessage reply;
    reply.set_type(ServerMessage::SPOT_DONE);
    if (outcome.failed())
    {
        auto* error = reply.mutable_error();
        error->set_code(spotFailureCode(outcome.getErrorMessage()));
        error->set_text(outcome.getErrorMessage().toRawUTF8());
    }
    return serializeMessage(reply);
}

boost::shared_ptr<juce::MemoryBlock> versionReply()
{
    ServerMessage reply;
    reply.set_type(ServerMessage::VERSION);
    reply.mutable_version()->set_version(versionText);
    return serializeMessage(reply);
}

boost::shared_ptr<juce::MemoryBlock> projectPathReply()
{
    // The host fills the buffer with a NUL-terminated path, or fills all of it; a host that
    // writes nothing yields the empty path rather than stack garbage.
    char buffer[projectPathBufferSize];
    buffer[0] = '\0';
    GetProjectPath(buffer, projectPathBufferSize);
    const juce::String path = decodeUtf8(buffer, projectPathBufferSize);

    ServerMessage reply;
    reply.set_type(ServerMessage::RESPONSE);
    reply.mutable_response()->set_text(path.toRawUTF8());
    return serializeMessage(reply);
}
} // namespace

RequestOutcome dispatchRequest(const juce::MemoryBlock& payload)
{
    ClientMessage request;
    if (!request.ParseFromArray(payload.getData(), static_cast<int>(payload.getSize())))
        return {nullptr, "Unable to parse message"};

    switch (request.type())
    {
    case ClientMessage::SPOT_COMMAND:
    {
        const juce::Result outcome = handleSpotCommand(request.spot_command());
        return {spotDoneReply(outcome),
                outcome.failed() ? outcome.getErrorMessage() : juce::String()};
    }
    case ClientMessage::INFO_REQUEST:
        return {nullptr, "Info request"};
    case ClientMessage::VERSION_REQUEST:
        return {versionReply(), {}};
    case ClientMessage::SESSION_REQUEST:
        return {projectPathReply(), {}};
    }
    return {};
}
