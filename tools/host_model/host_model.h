#pragma once

#include "reaper_host_interface.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// An in-memory host for the extension's tests and tools: a project that the host functions
// change as the host documents them, and a log of every call made. The host functions act on
// the current model (hostModel()); a test or tool replaces a single function by assigning its
// own in the host API table or its GetFunc.
struct HostModel
{
    struct Source
    {
        std::string path;
        double length = 0.0;
        bool destroyed = false;
    };
    struct Take
    {
        std::string name;
        double startOffset = 0.0;
        Source* source = nullptr;
    };
    struct Item
    {
        double position = 0.0;
        double length = 0.0;
        bool loopSource = true; // the host's default for a new item
        std::vector<std::unique_ptr<Take>> takes;
    };
    struct Track
    {
        bool selected = false;
        std::vector<std::unique_ptr<Item>> items;
    };

    std::vector<std::unique_ptr<Track>> tracks;
    double cursor = 0.0;
    double selectionStart = 0.0, selectionEnd = 0.0;
    double loopStart = 0.0, loopEnd = 0.0;
    std::string projectPath;
    std::map<std::string, double> fileLengths; // paths that give a source, with their lengths
    std::vector<std::unique_ptr<Source>> sources;
    std::vector<std::pair<int, int>> commands; // actions run, with their flags

    // The host's undo: a point is a snapshot of the project taken when the outermost block ends,
    // and undoing it goes back to the snapshot before. So a block may begin after the change.
    struct UndoPoint
    {
        std::string description;
        int flags = 0;
        int items = 0; // items added since the snapshot before
    };
    std::vector<UndoPoint> undoPoints;
    int undoBlockDepth = 0;
    int itemsInLastSnapshot = 0;
    // PreventUIRefresh's counter: 0 when every +1 had its -1.
    int uiRefreshDepth = 0;

    // Every host call in order, as "Name(arguments)"; and those made while another host call
    // was still running, as "Inner in Outer".
    std::vector<std::string> calls;
    std::vector<std::string> nestedCalls;

    // What an action does beyond being recorded (the host's own actions run here); nothing by
    // default.
    std::function<void(int command)> runAction;
    // The length of a file not in fileLengths, or a negative value when it gives no source.
    std::function<double(const std::string& path)> readFileLength;

    Track& addTrack(bool selected);
    // The names of the calls made, in order.
    std::vector<std::string> callNames() const;
    int itemCount() const;
    // Sources neither attached to a take nor destroyed.
    int unattachedSourceCount() const;
    int destroyedSourceCount() const;

    // Host calls currently running, innermost last.
    std::vector<const char*> runningCalls;
};

// The model the host functions act on.
HostModel& hostModel();
// Starts the current model afresh: an empty project and no calls.
void resetHostModel();

// The host's GetFunc over the model: each host function by its name, or null for another name.
void* hostModelFunction(const char* name);
