#include "message_box.h"

#include <windows.h>

void showNativeMessageBox(const juce::String& title, const juce::String& text)
{
    // The flags JUCE itself uses for a native dialog box without an icon.
    MessageBoxW(nullptr, text.toWideCharPointer(), title.toWideCharPointer(),
                MB_OK | MB_TASKMODAL | MB_SETFOREGROUND);
}
