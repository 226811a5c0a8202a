#pragma once

#include <juce_core/juce_core.h>

#include <memory>
#include <mutex>
#include <string>
#include <thread>

// One run of the host simulator with the real extension DLL (or of another program that stops
// when its --stop-file appears), driven from a test or a benchmark.
class HostRun
{
public:
    explicit HostRun(const juce::String& scenarioJson = "{}");
    HostRun(const juce::File& program, const juce::String& arguments);
    ~HostRun();
    HostRun(const HostRun&) = delete;
    HostRun& operator=(const HostRun&) = delete;

    // Waits until the simulator has printed text; false after timeoutMs or once it has ended
    // without printing it.
    bool waitForOutput(const juce::String& text, int timeoutMs = 20000);
    // Asks the simulator to unload the extension and exit; returns its exit code, once all it
    // printed has been read.
    int stop(int timeoutMs = 20000);

    juce::String output();
    juce::var state() const { return finalState; }

private:
    void* process = nullptr;
    void* stdoutRead = nullptr;
    juce::File scenarioFile, stateFile, stopFile;
    std::mutex lock;
    std::string captured;
    std::thread reader;
    juce::var finalState;
    bool stopped = false;
    int exitCode = -1;

    void makeFiles();
    void finishReading();
    void launch(const juce::String& commandLine);
};

// What each run that has ended printed, with its exit code, in the order they ended; a test
// harness shows them when a test fails and clears them.
juce::StringArray& finishedRuns();

juce::File artifactDirectory();

// Runs a program to its end; its exit code, with everything it wrote to stdout and stderr.
int runProgram(const juce::String& commandLine, juce::String& output, int timeoutMs = 30000);
