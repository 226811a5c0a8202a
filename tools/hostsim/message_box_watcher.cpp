#include "message_box_watcher.h"

#include <algorithm>
#include <windows.h>

namespace
{
constexpr int messageBoxTextId = 0xFFFF; // the static control holding a message box's text

juce::String windowText(HWND window)
{
    wchar_t text[4096] = {};
    GetWindowTextW(window, text, 4096);
    return juce::String(text);
}

BOOL CALLBACK visit(HWND window, LPARAM param)
{
    auto& watcher = *reinterpret_cast<MessageBoxWatcher*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    // A dialog becomes visible once its initialisation has filled in its controls.
    if (pid != GetCurrentProcessId() || std::wstring(className) != L"#32770" ||
        !IsWindowVisible(window) || GetDlgItem(window, IDOK) == nullptr)
        return TRUE;

    {
        std::lock_guard<std::mutex> guard(watcher.lock);
        if (std::find(watcher.handled.begin(), watcher.handled.end(), window) !=
            watcher.handled.end())
            return TRUE;
        HWND textControl = GetDlgItem(window, messageBoxTextId);
        watcher.boxes.push_back({windowText(window), textControl != nullptr
                                                         ? windowText(textControl)
                                                         : juce::String()});
        watcher.handled.push_back(window);
    }
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDOK)));
    return TRUE;
}
} // namespace

MessageBoxWatcher::MessageBoxWatcher()
    : thread(
          [this]
          {
              for (;;)
              {
                  {
                      std::lock_guard<std::mutex> guard(lock);
                      if (stopping)
                          return;
                  }
                  EnumWindows(visit, reinterpret_cast<LPARAM>(this));
                  Sleep(20);
              }
          })
{
}

MessageBoxWatcher::~MessageBoxWatcher()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = true;
    }
    thread.join();
}

std::vector<MessageBoxSeen> MessageBoxWatcher::seen()
{
    std::lock_guard<std::mutex> guard(lock);
    return boxes;
}
