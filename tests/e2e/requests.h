#pragma once

#include "reaper.pb.h"

#include <juce_core/juce_core.h>

#include <optional>
#include <string>

// The exact reply to a version request: type VERSION and the text "reaper ext 1.1".
inline const char* const versionReply = "0803BA06100A0E7265617065722065787420312E31";
inline const char* const spotDoneReply = "0804";

struct Spot
{
    std::string path;
    std::optional<std::string> name;
    std::optional<float> in, out;
};

inline juce::MemoryBlock spotRequest(const Spot& spot)
{
    VantorelReaper::ClientMessage message;
    message.set_type(VantorelReaper::ClientMessage::SPOT_COMMAND);
    auto* command = message.mutable_spot_command();
    command->set_file_path(spot.path);
    if (spot.name)
        command->set_name(*spot.name);
    if (spot.in)
        command->set_in_point(*spot.in);
    if (spot.out)
        command->set_out_point(*spot.out);
    juce::MemoryBlock payload(message.ByteSizeLong());
    message.SerializeToArray(payload.getData(), static_cast<int>(payload.getSize()));
    return payload;
}
