// The extension's request path without the pipe, for profiling on the native build: decoding,
// dispatch against the host model, the reply's encoding and the diagnostic log written to a file
// as the extension writes it.
#include "bench_spot_command.h"
#include "dispatch_request.h"
#include "host_api.h"
#include "host_model.h"
#include "reaper.pb.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    const char* kind = argc > 1 ? argv[1] : "spot";
    const int count = argc > 2 ? std::atoi(argv[2]) : 20000;

    juce::MemoryBlock payload = benchSpotPayload();
    if (std::strcmp(kind, "version") == 0)
        payload = juce::MemoryBlock("\x08\x03", 2);
    else if (std::strcmp(kind, "session") == 0)
        payload = juce::MemoryBlock("\x08\x04", 2);

    const juce::File logFile = juce::File::createTempFile(".txt");
    std::unique_ptr<juce::FileLogger> logger(new juce::FileLogger(logFile, {}, 128 * 1024));
    juce::Logger::setCurrentLogger(logger.get());

    REAPERAPI_LoadAPI(hostModelFunction);
    bindOptionalHostApi(hostModelFunction);
    size_t replied = 0;
    for (int i = 0; i < count; ++i)
    {
        resetHostModel(); // a fresh project each time, so that it does not grow
        HostModel& host = hostModel();
        host.addTrack(true);
        host.fileLengths[benchSpotPath] = 10.0;
        host.projectPath = "C:\\Projects\\Bench\\bench session.rpp";
        const RequestOutcome outcome = dispatchRequest(payload);
        replied += outcome.reply != nullptr ? outcome.reply->getSize() : 0;
    }
    juce::Logger::setCurrentLogger(nullptr);
    logger.reset();
    logFile.deleteFile();
    std::printf("%d %s requests, %zu reply bytes\n", count, kind, replied);
    return 0;
}
