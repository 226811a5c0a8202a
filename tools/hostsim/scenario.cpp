#include "scenario.h"

namespace
{
std::string utf8(const juce::var& v)
{
    return v.toString().toStdString();
}

bool isNumber(const juce::var& v)
{
    return v.isInt() || v.isInt64() || v.isDouble();
}
} // namespace

ScenarioRead readScenario(const juce::File& file)
{
    juce::var root;
    const juce::Result parsed = juce::JSON::parse(file.loadFileAsString(), root);
    if (parsed.failed() || !root.isObject())
        return {std::nullopt, "scenario " + file.getFullPathName() +
                                  " is not a JSON object: " + parsed.getErrorMessage()};

    Scenario scenario;
    if (root.hasProperty("caller_version"))
        scenario.callerVersion = static_cast<int>(root["caller_version"]);
    scenario.getFuncNull = static_cast<bool>(root.getProperty("get_func_null", false));
    scenario.recordDispatch = static_cast<bool>(root.getProperty("record_dispatch", false));
    scenario.peakActionPumpsMs = static_cast<int>(root.getProperty("peak_action_pumps_ms", 0));
    if (auto* calls = root["entry_calls"].getArray())
    {
        scenario.entryCalls.clear();
        for (auto& call : *calls)
            scenario.entryCalls.add(call.toString());
    }
    if (auto* missing = root["missing_functions"].getArray())
        for (auto& name : *missing)
            scenario.missingFunctions.insert(utf8(name));

    HostModel& project = scenario.project;
    if (auto* tracks = root["tracks"].getArray())
        for (auto& track : *tracks)
            project.addTrack(static_cast<bool>(track.getProperty("selected", false)));
    if (isNumber(root["cursor"]))
        project.cursor = static_cast<double>(root["cursor"]);
    if (auto* range = root["time_selection"].getArray(); range != nullptr && range->size() == 2)
    {
        project.selectionStart = static_cast<double>((*range)[0]);
        project.selectionEnd = static_cast<double>((*range)[1]);
    }
    project.projectPath = utf8(root.getProperty("project_path", ""));
    if (auto* sources = root["sources"].getDynamicObject())
        for (auto& entry : sources->getProperties())
            project.fileLengths[entry.name.toString().toStdString()] =
                static_cast<double>(entry.value);
    return {std::move(scenario), {}};
}
