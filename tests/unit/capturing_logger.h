#pragma once

#include <juce_core/juce_core.h>

// Collects log lines while it is the current logger.
struct CapturingLogger : juce::Logger
{
    juce::StringArray lines;
    CapturingLogger() { juce::Logger::setCurrentLogger(this); }
    ~CapturingLogger() override { juce::Logger::setCurrentLogger(nullptr); }
    void logMessage(const juce::String& message) override { lines.add(message); }
};
