#include "requests.h"

VantorelReaper::ClientMessage spotCommand(const SpotRequest& spot)
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
    return message;
}

juce::MemoryBlock encodeMessage(const VantorelReaper::ClientMessage& message)
{
    juce::MemoryBlock payload(message.ByteSizeLong());
    message.SerializeToArray(payload.getData(), static_cast<int>(payload.getSize()));
    return payload;
}

juce::MemoryBlock encodeSpotCommand(const SpotRequest& spot)
{
    return encodeMessage(spotCommand(spot));
}
