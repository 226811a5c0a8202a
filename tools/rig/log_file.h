#pragma once

#include <juce_core/juce_core.h>

// The extension's diagnostic log, as a test reads it.
juce::File logFile();
juce::StringArray logLines();
// The lines written after the last log header.
juce::StringArray linesOfLastSession();
