#pragma once

#include <juce_core/juce_core.h>

#include <string>

// Byte vectors written and compared as hexadecimal text in tests.
inline juce::MemoryBlock fromHex(const char* hex)
{
    juce::MemoryBlock block;
    block.loadFromHexString(hex);
    return block;
}

inline std::string toHex(const juce::MemoryBlock& block)
{
    return juce::String::toHexString(block.getData(), static_cast<int>(block.getSize()), 0)
        .toUpperCase()
        .toStdString();
}
