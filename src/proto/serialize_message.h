#pragma once

#include <boost/shared_ptr.hpp>
#include <google/protobuf/message_lite.h>
#include <juce_core/juce_core.h>

// The message's encoding in a block of exactly its size, or an empty pointer when there is nothing
// to send (a message with no field present, or an encoding that failed).
boost::shared_ptr<juce::MemoryBlock> serializeMessage(const google::protobuf::MessageLite& message);
