#pragma once

#include <juce_core/juce_core.h>

// A native message box with one OK button, task-modal, brought to the foreground and owned by no
// window. Returns when the user has dismissed it.
void showNativeMessageBox(const juce::String& title, const juce::String& text);
