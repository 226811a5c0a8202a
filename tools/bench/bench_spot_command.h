#pragma once

#include "reaper.pb.h"

#include <juce_core/juce_core.h>

// The spot command the benchmark and the native profile both send: a typical path and region.
inline const char* const benchSpotPath = "C:\\Samples\\Bench\\door slam 04.wav";

inline juce::MemoryBlock benchSpotPayload()
{
    VantorelReaper::ClientMessage message;
    message.set_type(VantorelReaper::ClientMessage::SPOT_COMMAND);
    auto* spot = message.mutable_spot_command();
    spot->set_file_path(benchSpotPath);
    spot->set_name("door slam 04");
    spot->set_in_point(1.0f);
    spot->set_out_point(3.0f);
    juce::MemoryBlock payload(message.ByteSizeLong());
    message.SerializeToArray(payload.getData(), static_cast<int>(payload.getSize()));
    return payload;
}
