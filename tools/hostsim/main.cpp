// A stand-in for the host: loads the extension, hands it a plug-in record over a simulated
// project, serves the Windows message loop on its main thread, and writes what happened.
#include "message_box_watcher.h"
#include "message_loop.h"
#include "scenario.h"
#include "sim_project.h"

#include <cstdio>
#include <windows.h>
// after windows.h
#include <psapi.h>

namespace
{
using EntryFn = int (*)(HINSTANCE, reaper_plugin_info_t*);

struct Options
{
    juce::String extension;
    juce::String scenario;
    juce::String stateOut;
    juce::String stopFile;
    int serveMs = -1;
};

int usage(const char* problem)
{
    std::fprintf(stderr,
                 "hostsim: %s\nusage: hostsim --extension DLL [--scenario FILE] "
                 "[--state-out FILE] [--serve-ms N] [--stop-file PATH]\n",
                 problem);
    return 2;
}

juce::File fileArgument(const juce::String& path)
{
    return juce::File::getCurrentWorkingDirectory().getChildFile(path);
}

// How long each message dispatched on the main thread took, in milliseconds.
std::vector<double> dispatchTimes;

// The process's resident and private memory in bytes, at the moments the state reports.
MemorySample sampleMemory()
{
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    // PagefileUsage: committed private memory (Wine leaves PrivateUsage at 0).
    return {static_cast<double>(counters.WorkingSetSize),
            static_cast<double>(counters.PagefileUsage)};
}

void serve(const Options& options)
{
    const juce::uint32 start = juce::Time::getMillisecondCounter();
    const bool hasStopFile = options.stopFile.isNotEmpty();
    const juce::File stopFile = hasStopFile ? fileArgument(options.stopFile) : juce::File();
    // Without either limit there is nothing to wait for.
    const int serveMs = options.serveMs >= 0 ? options.serveMs : (hasStopFile ? -1 : 0);

    for (;;)
    {
        dispatchWaitingMessages(dispatchTimes);
        const auto elapsed = static_cast<int>(juce::Time::getMillisecondCounter() - start);
        if (serveMs >= 0 && elapsed >= serveMs)
            return;
        if (hasStopFile && stopFile.existsAsFile())
            return;
        const DWORD wait =
            serveMs >= 0 ? static_cast<DWORD>(juce::jmin(20, serveMs - elapsed)) : 20;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
    }
}
} // namespace

int main(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i)
    {
        const juce::String arg(argv[i]);
        if (i + 1 >= argc)
            return usage(("missing value after " + arg).toRawUTF8());
        const juce::String value = juce::String::fromUTF8(argv[++i]);
        if (arg == "--extension")
            options.extension = value;
        else if (arg == "--scenario")
            options.scenario = value;
        else if (arg == "--state-out")
            options.stateOut = value;
        else if (arg == "--stop-file")
            options.stopFile = value;
        else if (arg == "--serve-ms")
            options.serveMs = value.getIntValue();
        else
            return usage(("unknown option " + arg).toRawUTF8());
    }
    if (options.extension.isEmpty())
        return usage("--extension is required");

    Scenario scenario;
    if (options.scenario.isNotEmpty())
    {
        juce::String error;
        if (!loadScenario(fileArgument(options.scenario), scenario, error))
            return usage(error.toRawUTF8());
    }

    std::vector<MemorySample> memory{sampleMemory()};
    const juce::File dll = fileArgument(options.extension);
    HMODULE module = LoadLibraryW(dll.getFullPathName().toWideCharPointer());
    if (module == nullptr)
    {
        std::fprintf(stderr, "hostsim: cannot load %s (error %lu)\n",
                     dll.getFullPathName().toRawUTF8(), GetLastError());
        return 1;
    }
    auto entry = reinterpret_cast<EntryFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "ReaperPluginEntry")));
    if (entry == nullptr)
    {
        std::fprintf(stderr, "hostsim: %s exports no ReaperPluginEntry\n",
                     dll.getFullPathName().toRawUTF8());
        return 1;
    }

    MessageBoxWatcher watcher;
    reaper_plugin_info_t record{};
    record.caller_version = scenario.callerVersion;
    record.GetFunc = scenario.getFuncNull ? nullptr : simGetFunc;

    std::vector<int> results;
    for (auto& call : scenario.entryCalls)
    {
        const bool load = call != "unload";
        const int result = entry(GetModuleHandleW(nullptr), load ? &record : nullptr);
        results.push_back(result);
        std::printf("%s %d\n", load ? "entry" : "unload", result);
        std::fflush(stdout);
    }

    memory.push_back(sampleMemory());
    serve(options);
    memory.push_back(sampleMemory());

    const int result = entry(GetModuleHandleW(nullptr), nullptr);
    results.push_back(result);
    std::printf("unload %d\n", result);
    std::fflush(stdout);

    if (options.stateOut.isNotEmpty())
    {
        const juce::File out = fileArgument(options.stateOut);
        if (!out.replaceWithText(
                stateJson(results, watcher.seen(), dispatchTimes, scenario.recordDispatch, memory),
                false, false, "\n"))
        {
            std::fprintf(stderr, "hostsim: cannot write %s\n", out.getFullPathName().toRawUTF8());
            return 1;
        }
    }

    // As the host does at exit; a thread the extension left running would fault here.
    FreeLibrary(module);
    return 0;
}
