#pragma once

#include <juce_core/juce_core.h>

// Writes a short 16-bit mono WAV file of the given length.
void writeWav(const juce::File& file, double seconds, int sampleRate = 8000);
