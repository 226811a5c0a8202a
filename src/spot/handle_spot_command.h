#pragma once

#include "reaper.pb.h"

#include <juce_core/juce_core.h>

// Places the command's file into the host's active project as a new item with one take at the
// edit cursor, and moves the cursor to the item's end. Runs on the host's main thread.
juce::Result handleSpotCommand(const VantorelReaper::SpotCommand& command);
