#pragma once

#include <boost/shared_ptr.hpp>
#include <juce_core/juce_core.h>

struct RequestOutcome
{
    // The reply to send, or empty when the request gets none.
    boost::shared_ptr<juce::MemoryBlock> reply;
    // One line for the diagnostic log, written after the reply has been sent; empty for none.
    juce::String logLine;
};

// Decodes one payload from the peer, carries the request out on the host and builds its reply.
RequestOutcome dispatchRequest(const juce::MemoryBlock& payload);
