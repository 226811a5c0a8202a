#pragma once

#include "requests.h"

// The spot command the benchmark and the native profile both send: a typical path and region.
inline const char* const benchSpotPath = "C:\\Samples\\Bench\\door slam 04.wav";

inline juce::MemoryBlock benchSpotPayload()
{
    return encodeSpotCommand({benchSpotPath, "door slam 04", 1.0f, 3.0f});
}
