// Feeds arbitrary payloads through decoding and dispatch against the host model, and
// checks that every reply is one the peer can decode and belongs to the request's type.
#include "dispatch_request.h"
#include "host_api.h"
#include "host_model.h"
#include "reaper.pb.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace
{
using VantorelReaper::ClientMessage;
using VantorelReaper::ServerMessage;

struct NullLogger : juce::Logger
{
    void logMessage(const juce::String&) override {}
};

void require(bool condition, const char* what)
{
    if (!condition)
    {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static NullLogger logger;
    juce::Logger::setCurrentLogger(&logger);

    resetHostModel();
    REAPERAPI_LoadAPI(hostModelFunction);
    bindOptionalHostApi(hostModelFunction);
    HostModel& host = hostModel();
    host.addTrack(false);
    host.addTrack(true);
    host.fileLengths["C:\\a.wav"] = 10.0;
    host.cursor = 10.0;
    host.selectionStart = 8.0;
    host.selectionEnd = 12.0;
    host.projectPath = "C:\\proj\\song.rpp";

    const RequestOutcome outcome = dispatchRequest(juce::MemoryBlock(data, size));

    ClientMessage request;
    const bool decodes = request.ParseFromArray(data, static_cast<int>(size));
    const bool answered = decodes && request.type() != ClientMessage::INFO_REQUEST;
    require((outcome.reply != nullptr) == answered, "a reply exactly for the answered requests");
    if (outcome.reply != nullptr)
    {
        ServerMessage reply;
        require(reply.ParseFromArray(outcome.reply->getData(),
                                     static_cast<int>(outcome.reply->getSize())),
                "the reply decodes");
        const auto expected =
            request.type() == ClientMessage::SPOT_COMMAND      ? ServerMessage::SPOT_DONE
            : request.type() == ClientMessage::VERSION_REQUEST ? ServerMessage::VERSION
                                                               : ServerMessage::RESPONSE;
        require(reply.type() == expected, "the reply's type matches the request");
    }
    require(host.unattachedSourceCount() == 0, "every source created is attached or released");
    require(host.uiRefreshDepth == 0, "every refresh prevention is undone");
    require(host.undoBlockDepth == 0, "every undo block is ended");
    juce::Logger::setCurrentLogger(nullptr);
    return 0;
}
