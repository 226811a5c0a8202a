#pragma once

#include <juce_events/juce_events.h>

#include <memory>

// The process-wide link between the host and the peer: the pipe server, the diagnostic log and
// the dispatch of every request, all on the host's main thread.
class ReaperBridge : public juce::InterprocessConnection
{
public:
    ReaperBridge();
    ~ReaperBridge() override;

    void connectionMade() override;
    void connectionLost() override;
    void messageReceived(const juce::MemoryBlock& message) override;

    juce_DeclareSingleton(ReaperBridge, false)

private:
    std::unique_ptr<juce::FileLogger> logger;

    JUCE_DECLARE_NON_COPYABLE(ReaperBridge)
};
