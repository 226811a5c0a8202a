#pragma once

#include "host_model.h"

#include <juce_core/juce_core.h>

#include <vector>

struct MessageBoxSeen
{
    juce::String title;
    juce::String text;
};

struct MemorySample
{
    double workingSet = 0.0;
    double privateBytes = 0.0;
};

// What happened in the run, as JSON whose numbers read back exactly.
juce::String stateJson(const HostModel& project, const std::vector<int>& entryResults,
                       const std::vector<MessageBoxSeen>& boxes,
                       const std::vector<double>& dispatchTimes, bool listDispatchTimes,
                       const std::vector<MemorySample>& memory);
