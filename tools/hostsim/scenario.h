#pragma once

#include "host_model.h"

#include <juce_core/juce_core.h>

#include <optional>
#include <set>
#include <string>

// What the host simulator is asked to play: the host's side of the plug-in record, what it does
// with the extension, and the project it starts with.
struct Scenario
{
    int callerVersion = 0x20E;
    bool getFuncNull = false;
    // Host functions the host does not have.
    std::set<std::string> missingFunctions;
    // What the host does with the extension before serving: "load" or "unload" calls in order.
    juce::StringArray entryCalls = {"load"};
    // Whether the state lists the time of every message dispatched, not only a summary.
    bool recordDispatch = false;
    // How long the peak-building action runs the message loop; 0 for an action that returns at
    // once.
    int peakActionPumpsMs = 0;
    HostModel project;
};

// The scenario, or why the file could not be read as one.
struct ScenarioRead
{
    std::optional<Scenario> scenario;
    juce::String error;
};

ScenarioRead readScenario(const juce::File& file);
