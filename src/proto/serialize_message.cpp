#include "serialize_message.h"

#include <boost/make_shared.hpp>
#include <climits>

boost::shared_ptr<juce::MemoryBlock> serializeMessage(const google::protobuf::MessageLite& message)
{
    const size_t size = message.ByteSizeLong();
    if (size == 0)
        return {};

    // SerializeToArray takes an int size; a larger message cannot be written into any frame.
    if (size > static_cast<size_t>(INT_MAX))
    {
        juce::Logger::writeToLog("unable to serialize message");
        return {};
    }

    auto block = boost::make_shared<juce::MemoryBlock>(size, false);
    if (!message.SerializeToArray(block->getData(), static_cast<int>(size)))
    {
        juce::Logger::writeToLog("unable to serialize message");
        return {};
    }
    return block;
}
