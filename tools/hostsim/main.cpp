// A stand-in for the host: loads the extension, hands it a plug-in record over a simulated
// project, serves the Windows message loop on its main thread, and writes what happened.
#include "extensions.h"
#include "message_box_watcher.h"
#include "message_loop.h"
#include "scenario.h"
#include "state_json.h"
#include "wav_file_length.h"

#include <cstdio>
#include <set>
#include <string>
#include <windows.h>
// after windows.h
#include <psapi.h>

namespace
{
struct Options
{
    juce::String extension;
    juce::String resourcePath;
    juce::String scenario;
    juce::String stateOut;
    juce::String stopFile;
    int serveMs = -1;
};

int usage(const char* problem)
{
    std::fprintf(stderr,
                 "hostsim: %s\nusage: hostsim --extension DLL | --resource-path DIR "
                 "[--scenario FILE] [--state-out FILE] [--serve-ms N] [--stop-file PATH]\n",
                 problem);
    return 2;
}

juce::File fileArgument(const juce::String& path)
{
    return juce::File::getCurrentWorkingDirectory().getChildFile(path);
}

// How long each message dispatched on the main thread took, in milliseconds.
std::vector<double> dispatchTimes;

// Host functions the scenario says the host does not have.
std::set<std::string> missingFunctions;

// The host's GetFunc: the host model's functions, less the missing ones.
void* getFunc(const char* name)
{
    if (name == nullptr || missingFunctions.count(name) != 0)
        return nullptr;
    return hostModelFunction(name);
}

// The host's peak-building action (40047) with a progress window, which runs the message loop
// while it works: whatever arrives meanwhile is dispatched inside the action.
void buildPeaksWithProgressWindow(int command, int pumpMs)
{
    constexpr int buildMissingPeaks = 40047;
    if (command != buildMissingPeaks)
        return;
    // Printed before the first message is dispatched, so that a test can send a request that
    // arrives while the action is still running.
    std::printf("pumping messages\n");
    std::fflush(stdout);
    pumpMessages(pumpMs);
    std::printf("pumped messages\n");
    std::fflush(stdout);
}

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
        else if (arg == "--resource-path")
            options.resourcePath = value;
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
    if (options.extension.isEmpty() == options.resourcePath.isEmpty())
        return usage("either --extension or --resource-path is required");

    ScenarioRead read{Scenario(), {}};
    if (options.scenario.isNotEmpty())
        read = readScenario(fileArgument(options.scenario));
    if (!read.scenario)
        return usage(read.error.toRawUTF8());
    Scenario& scenario = *read.scenario;
    missingFunctions = scenario.missingFunctions;
    HostModel& project = hostModel();
    project = std::move(scenario.project);
    project.readFileLength = wavFileLength;
    if (const int pumpMs = scenario.peakActionPumpsMs; pumpMs > 0)
        project.runAction = [pumpMs](int command)
        { buildPeaksWithProgressWindow(command, pumpMs); };

    std::vector<MemorySample> memory{sampleMemory()};
    const LoadedExtensions loaded =
        options.extension.isNotEmpty()
            ? loadExtension(fileArgument(options.extension))
            : loadResourcePathExtensions(fileArgument(options.resourcePath));
    if (loaded.error.isNotEmpty())
    {
        std::fprintf(stderr, "hostsim: %s\n", loaded.error.toRawUTF8());
        return 1;
    }

    MessageBoxWatcher watcher;
    reaper_plugin_info_t record{};
    record.caller_version = scenario.callerVersion;
    record.GetFunc = scenario.getFuncNull ? nullptr : getFunc;

    std::vector<int> results;
    auto call = [&](const Extension& extension, bool load)
    {
        const int result = extension.entry(GetModuleHandleW(nullptr), load ? &record : nullptr);
        results.push_back(result);
        std::printf("%s %d\n", load ? "entry" : "unload", result);
        std::fflush(stdout);
    };
    for (auto& extension : loaded.extensions)
        for (auto& entryCall : scenario.entryCalls)
            call(extension, entryCall != "unload");

    memory.push_back(sampleMemory());
    serve(options);
    memory.push_back(sampleMemory());

    for (auto it = loaded.extensions.rbegin(); it != loaded.extensions.rend(); ++it)
        call(*it, false);

    if (options.stateOut.isNotEmpty())
    {
        const juce::File out = fileArgument(options.stateOut);
        if (!out.replaceWithText(stateJson(project, results, watcher.seen(), dispatchTimes,
                                           scenario.recordDispatch, memory),
                                 false, false, "\n"))
        {
            std::fprintf(stderr, "hostsim: cannot write %s\n", out.getFullPathName().toRawUTF8());
            return 1;
        }
    }

    // As the host does at exit; a thread an extension left running would fault here.
    freeExtensions(loaded.extensions);
    return 0;
}
