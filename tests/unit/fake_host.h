#pragma once

#include "hex.h"
#include "host_api.h"

#include <juce_core/juce_core.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// An in-process host whose functions are bound into the host API table, with a small project.
struct FakeHost
{
    struct Source
    {
        std::string path;
        double length = 0.0;
    };
    struct Take
    {
        std::string name;
        std::optional<double> startOffset;
        Source* source = nullptr;
    };
    struct Item
    {
        double position = 0.0;
        double length = 0.0;
        std::optional<double> loopSource;
        std::vector<std::unique_ptr<Take>> takes;
    };
    struct Track
    {
        bool selected = false;
        std::vector<std::unique_ptr<Item>> items;
    };

    std::vector<std::unique_ptr<Track>> tracks;
    std::map<std::string, double> files; // the paths that give a source, with their lengths
    std::vector<std::unique_ptr<Source>> sources;
    double cursor = 0.0;
    double selectionStart = 0.0;
    double selectionEnd = 0.0;
    std::vector<char> projectPath = {'\0'}; // bytes copied into the caller's buffer
    bool getTrackFails = false;
    bool addItemFails = false;
    bool addTakeFails = false;

    std::vector<std::string> calls; // host functions in the order they were called
    std::vector<std::pair<int, int>> commands;
    std::optional<double> editCursorMovedTo;

    FakeHost();
    ~FakeHost();

    Track& addTrack(bool selected);
    int attachedSourceCount() const;
};

// Collects log lines while it is the current logger.
struct CapturingLogger : juce::Logger
{
    juce::StringArray lines;
    CapturingLogger() { juce::Logger::setCurrentLogger(this); }
    ~CapturingLogger() override { juce::Logger::setCurrentLogger(nullptr); }
    void logMessage(const juce::String& message) override { lines.add(message); }
};
