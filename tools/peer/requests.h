#pragma once

#include "reaper.pb.h"

#include <juce_core/juce_core.h>

#include <optional>
#include <string>

// A spot command as a peer asks for it: the file, and the optional take name and region.
struct SpotRequest
{
    std::string path;
    std::optional<std::string> name;
    std::optional<float> in, out;
};

VantorelReaper::ClientMessage spotCommand(const SpotRequest& spot);

// The payload of one frame: the message's encoding.
juce::MemoryBlock encodeMessage(const VantorelReaper::ClientMessage& message);

// The payload of a spot command.
juce::MemoryBlock encodeSpotCommand(const SpotRequest& spot);
