#pragma once

#include "state_json.h"

#include <mutex>
#include <thread>
#include <vector>

// Watches this process for message boxes, records each one's title and text and dismisses it
// with its OK button, as a user would.
struct MessageBoxWatcher
{
    MessageBoxWatcher();
    ~MessageBoxWatcher();
    std::vector<MessageBoxSeen> seen();

    std::mutex lock;
    std::vector<MessageBoxSeen> boxes;
    std::vector<void*> handled;
    bool stopping = false;
    std::thread thread;
};
