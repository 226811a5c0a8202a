#pragma once

#include "pipe_client.h"

#include <juce_core/juce_core.h>

#include <memory>
#include <mutex>
#include <string>
#include <thread>

// One run of the host simulator with the real extension DLL, driven from a test.
struct HostRun
{
    explicit HostRun(const juce::String& scenarioJson = "{}");
    ~HostRun();

    // Waits until the simulator has printed text; false after timeoutMs.
    bool waitForOutput(const juce::String& text, int timeoutMs = 20000);
    // Asks the simulator to unload the extension and exit; returns its exit code.
    int stop(int timeoutMs = 20000);

    juce::String output();
    juce::var state() const { return finalState; }
    juce::uint32 stopMs = 0; // from the stop request to the simulator's exit

    void* process = nullptr;
    void* stdoutRead = nullptr;
    juce::File scenarioFile, stateFile, stopFile;
    std::mutex lock;
    std::string captured;
    std::thread reader;
    juce::var finalState;
    bool stopped = false;
};

juce::File artifactDirectory();
juce::File logFile();
juce::StringArray logLines();
// The lines written after the last log header.
juce::StringArray linesOfLastSession();

// A short 16-bit mono WAV file of the given length.
void writeWav(const juce::File& file, double seconds, int sampleRate = 8000);

juce::MemoryBlock hexBytes(const char* hex);
std::string hexOf(const juce::MemoryBlock& block);
