#include "message_loop.h"

#include <juce_core/juce_core.h>

#include <windows.h>

void dispatchWaitingMessages(std::vector<double>& times)
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&msg);
        const juce::int64 before = juce::Time::getHighResolutionTicks();
        DispatchMessageW(&msg);
        times.push_back(1000.0 * juce::Time::highResolutionTicksToSeconds(
                                     juce::Time::getHighResolutionTicks() - before));
    }
}

void pumpMessages(int ms)
{
    const juce::uint32 end = juce::Time::getMillisecondCounter() + static_cast<juce::uint32>(ms);
    std::vector<double> ignored;
    for (juce::uint32 now; (now = juce::Time::getMillisecondCounter()) < end;)
    {
        dispatchWaitingMessages(ignored);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, juce::jmin<DWORD>(end - now, 20), QS_ALLINPUT);
    }
    dispatchWaitingMessages(ignored);
}
