#pragma once

#include "reaper.pb.h"

#include <juce_core/juce_core.h>

// Places the command's file into the host's active project as a new item with one take at the
// edit cursor, and moves the cursor to the item's end: one undo point, named after the take (or
// the file), where the host offers undo blocks. Runs on the host's main thread. A failure's text
// is one of those below.
juce::Result handleSpotCommand(const VantorelReaper::SpotCommand& command);

// The stable number a peer receives with each failure: 1 "Unable to find source file:" and the
// path, 2 "No track", 3 "No Tracks in session", 4 "No media item", 5 "No take"; 0 for any other
// text.
int spotFailureCode(const juce::String& failureText);
