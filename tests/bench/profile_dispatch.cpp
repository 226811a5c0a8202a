// The extension's request path without the pipe, for profiling on the native build: decoding,
// dispatch against the fake host, the reply's encoding and the diagnostic log written to a file
// as the extension writes it.
#include "dispatch_request.h"
#include "fake_host.h"
#include "reaper.pb.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    const char* kind = argc > 1 ? argv[1] : "spot";
    const int count = argc > 2 ? std::atoi(argv[2]) : 20000;

    VantorelReaper::ClientMessage message;
    if (std::strcmp(kind, "version") == 0)
        message.set_type(VantorelReaper::ClientMessage::VERSION_REQUEST);
    else if (std::strcmp(kind, "session") == 0)
        message.set_type(VantorelReaper::ClientMessage::SESSION_REQUEST);
    else
    {
        message.set_type(VantorelReaper::ClientMessage::SPOT_COMMAND);
        auto* spot = message.mutable_spot_command();
        spot->set_file_path("C:\\Samples\\Bench\\door slam 04.wav");
        spot->set_name("door slam 04");
        spot->set_in_point(1.0f);
        spot->set_out_point(3.0f);
    }
    juce::MemoryBlock payload(message.ByteSizeLong());
    message.SerializeToArray(payload.getData(), static_cast<int>(payload.getSize()));

    const juce::File logFile = juce::File::createTempFile(".txt");
    std::unique_ptr<juce::FileLogger> logger(new juce::FileLogger(logFile, {}, 128 * 1024));
    juce::Logger::setCurrentLogger(logger.get());

    size_t replied = 0;
    for (int i = 0; i < count; ++i)
    {
        FakeHost host; // a fresh project each time, so that it does not grow
        host.addTrack(true);
        host.files["C:\\Samples\\Bench\\door slam 04.wav"] = 10.0;
        const std::string path = "C:\\Projects\\Bench\\bench session.rpp";
        host.projectPath.assign(path.begin(), path.end());
        host.projectPath.push_back('\0');
        const RequestOutcome outcome = dispatchRequest(payload);
        replied += outcome.reply != nullptr ? outcome.reply->getSize() : 0;
    }
    juce::Logger::setCurrentLogger(nullptr);
    logger.reset();
    logFile.deleteFile();
    std::printf("%d %s requests, %zu reply bytes\n", count, kind, replied);
    return 0;
}
