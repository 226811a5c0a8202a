#pragma once

#include <juce_core/juce_core.h>

#include <string>
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

struct Scenario
{
    int callerVersion = 0x20E;
    bool getFuncNull = false;
    // What the host does with the extension before serving: "load" or "unload" calls in order.
    juce::StringArray entryCalls = {"load"};
    // Whether the state lists the time of every message dispatched, not only a summary.
    bool recordDispatch = false;
};

// Builds the project from the scenario file; false with a message when it cannot be read.
bool loadScenario(const juce::File& file, Scenario& scenario, juce::String& error);

// The state after the run, as JSON whose numbers read back exactly.
juce::String stateJson(const std::vector<int>& entryResults,
                       const std::vector<MessageBoxSeen>& boxes,
                       const std::vector<double>& dispatchTimes, bool listDispatchTimes,
                       const std::vector<MemorySample>& memory);
