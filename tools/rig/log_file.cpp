#include "log_file.h"

juce::File logFile()
{
    return juce::File::getSpecialLocation(juce::File::userApplicationDataDirectory)
        .getChildFile("Vantorel")
        .getChildFile("Reaper.txt");
}

juce::StringArray logLines()
{
    juce::StringArray lines;
    lines.addTokens(logFile().loadFileAsString(), "\r\n", "");
    lines.removeEmptyStrings();
    return lines;
}

juce::StringArray linesOfLastSession()
{
    const juce::StringArray lines = logLines();
    int start = 0;
    for (int i = 0; i < lines.size(); ++i)
        if (lines[i].startsWith("Log started: "))
            start = i + 1;
    juce::StringArray rest;
    for (int i = start; i < lines.size(); ++i)
        rest.add(lines[i]);
    return rest;
}
