#pragma once

#include "reaper_host_interface.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

// The simulated host's project, changed only through the host functions below.
struct SimSource
{
    std::string path;
    double length = 0.0;
};

struct SimTake
{
    std::string name;
    double startOffset = 0.0;
    SimSource* source = nullptr;
};

struct SimItem
{
    double position = 0.0;
    double length = 0.0;
    bool loopSource = true; // the host's default for a new item
    std::vector<std::unique_ptr<SimTake>> takes;
};

struct SimTrack
{
    bool selected = false;
    std::vector<std::unique_ptr<SimItem>> items;
};

struct SimProject
{
    std::vector<std::unique_ptr<SimTrack>> tracks;
    double cursor = 0.0;
    double selectionStart = 0.0;
    double selectionEnd = 0.0;
    std::string projectPath;
    std::map<std::string, double> sourceLengths; // paths given a length by the scenario
    std::vector<std::unique_ptr<SimSource>> sources;
    std::vector<std::pair<int, int>> commands;
    std::set<std::string> missingFunctions;
    // How long the peak-building action runs the message loop, as the host's progress window
    // does; 0 for an action that returns at once.
    int peakActionPumpsMs = 0;
    // Host calls made while another host call was running: "inner in outer".
    std::vector<std::string> nestedCalls;

    int leakedSourceCount() const;
};

extern SimProject simProject;

// The host's GetFunc over the simulated functions, less the scenario's missing ones.
void* simGetFunc(const char* name);

// The length of a WAV file, or a negative value when the file cannot be read as one.
double wavFileLength(const std::string& utf8Path);
