#include "host_run.h"

#include <windows.h>

namespace
{
// Starts a program with its standard output and error on a pipe: the process and the pipe's
// read end, or nulls when it cannot be started.
std::pair<HANDLE, HANDLE> startWithOutputPipe(const juce::String& commandLine)
{
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    CreatePipe(&readEnd, &writeEnd, &inherit, 0);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info{};
    std::wstring command(commandLine.toWideCharPointer());
    const bool started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &info);
    CloseHandle(writeEnd);
    if (!started)
    {
        CloseHandle(readEnd);
        return {nullptr, nullptr};
    }
    CloseHandle(info.hThread);
    return {info.hProcess, readEnd};
}

void readToEnd(HANDLE readEnd, std::mutex& lock, std::string& text)
{
    char buffer[512];
    DWORD n = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0)
    {
        std::lock_guard<std::mutex> guard(lock);
        text.append(buffer, n);
    }
}
} // namespace

juce::StringArray& finishedRuns()
{
    static juce::StringArray runs;
    return runs;
}

juce::File artifactDirectory()
{
    return juce::File::getSpecialLocation(juce::File::currentExecutableFile).getParentDirectory();
}

int runProgram(const juce::String& commandLine, juce::String& output, int timeoutMs)
{
    const auto [process, readEnd] = startWithOutputPipe(commandLine);
    if (process == nullptr)
        return -1;

    // Read to the end of the output, which comes only once the program has exited.
    std::mutex lock;
    std::string text;
    std::thread reader([&, pipe = readEnd] { readToEnd(pipe, lock, text); });
    if (WaitForSingleObject(process, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0)
        TerminateProcess(process, 99);
    WaitForSingleObject(process, INFINITE);
    reader.join();
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    CloseHandle(readEnd);
    output = juce::String::fromUTF8(text.c_str()).replace("\r\n", "\n");
    return static_cast<int>(code);
}

void HostRun::makeFiles()
{
    const juce::File temp = juce::File::getSpecialLocation(juce::File::tempDirectory);
    scenarioFile = temp.getNonexistentChildFile("scenario", ".json");
    stateFile = temp.getNonexistentChildFile("state", ".json");
    stopFile = temp.getNonexistentChildFile("stop", ".flag");
}

HostRun::HostRun(const juce::String& scenarioJson)
{
    makeFiles();
    scenarioFile.replaceWithText(scenarioJson);
    launch("\"" + artifactDirectory().getChildFile("hostsim.exe").getFullPathName() + "\"" +
           " --extension \"" +
           artifactDirectory().getChildFile("reaper_vantorel_extension.dll").getFullPathName() +
           "\" --scenario \"" + scenarioFile.getFullPathName() + "\" --state-out \"" +
           stateFile.getFullPathName() + "\" --stop-file \"" + stopFile.getFullPathName() + "\"");
}

HostRun::HostRun(const juce::File& program, const juce::String& arguments)
{
    makeFiles();
    launch("\"" + program.getFullPathName() + "\" " + arguments + " --stop-file \"" +
           stopFile.getFullPathName() + "\"");
}

void HostRun::launch(const juce::String& command)
{
    std::tie(process, stdoutRead) = startWithOutputPipe(command);
    if (stdoutRead != nullptr)
        reader = std::thread([this] { readToEnd(stdoutRead, lock, captured); });
}

HostRun::~HostRun()
{
    if (!stopped)
        stop();
    finishReading();
    finishedRuns().add("hostsim exited with code " + juce::String(exitCode) +
                       ", having printed:\n" + output());
    CloseHandle(static_cast<HANDLE>(stdoutRead));
    if (process != nullptr)
        CloseHandle(static_cast<HANDLE>(process));
    scenarioFile.deleteFile();
    stateFile.deleteFile();
    stopFile.deleteFile();
}

juce::String HostRun::output()
{
    std::lock_guard<std::mutex> guard(lock);
    return juce::String::fromUTF8(captured.c_str()).replace("\r\n", "\n");
}

bool HostRun::waitForOutput(const juce::String& text, int timeoutMs)
{
    const auto end = juce::Time::getMillisecondCounter() + static_cast<juce::uint32>(timeoutMs);
    while (juce::Time::getMillisecondCounter() < end)
    {
        if (output().contains(text))
            return true;
        if (process == nullptr ||
            WaitForSingleObject(static_cast<HANDLE>(process), 0) == WAIT_OBJECT_0)
        {
            // The process has ended, but what it printed last may still be in the pipe.
            finishReading();
            return output().contains(text);
        }
        Sleep(10);
    }
    return false;
}

void HostRun::finishReading()
{
    if (reader.joinable())
        reader.join();
}

int HostRun::stop(int timeoutMs)
{
    stopped = true;
    if (process == nullptr)
        return -1;
    stopFile.create();
    if (WaitForSingleObject(static_cast<HANDLE>(process), static_cast<DWORD>(timeoutMs)) !=
        WAIT_OBJECT_0)
    {
        TerminateProcess(static_cast<HANDLE>(process), 99);
        WaitForSingleObject(static_cast<HANDLE>(process), INFINITE);
    }
    finishReading();
    DWORD code = 0;
    GetExitCodeProcess(static_cast<HANDLE>(process), &code);
    exitCode = static_cast<int>(code);
    finalState = juce::JSON::parse(stateFile);
    return exitCode;
}
