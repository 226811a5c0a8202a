#include "scenario.h"

#include "sim_project.h"

#include <cstdio>

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

// The shortest of %.15g and %.17g that reads back as the same double.
juce::String number(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", value);
    if (std::strtod(text, nullptr) != value)
        std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

juce::String jsonString(const std::string& utf8Text)
{
    return juce::JSON::toString(juce::var(juce::String::fromUTF8(utf8Text.c_str())));
}

juce::String jsonString(const juce::String& text)
{
    return juce::JSON::toString(juce::var(text));
}
} // namespace

bool loadScenario(const juce::File& file, Scenario& scenario, juce::String& error)
{
    juce::var root;
    const juce::Result parsed = juce::JSON::parse(file.loadFileAsString(), root);
    if (parsed.failed() || !root.isObject())
    {
        error = "scenario " + file.getFullPathName() +
                " is not a JSON object: " + parsed.getErrorMessage();
        return false;
    }

    if (root.hasProperty("caller_version"))
        scenario.callerVersion = static_cast<int>(root["caller_version"]);
    scenario.getFuncNull = static_cast<bool>(root.getProperty("get_func_null", false));
    scenario.recordDispatch = static_cast<bool>(root.getProperty("record_dispatch", false));
    if (auto* calls = root["entry_calls"].getArray())
    {
        scenario.entryCalls.clear();
        for (auto& call : *calls)
            scenario.entryCalls.add(call.toString());
    }
    if (auto* missing = root["missing_functions"].getArray())
        for (auto& name : *missing)
            simProject.missingFunctions.insert(utf8(name));
    if (auto* tracks = root["tracks"].getArray())
        for (auto& track : *tracks)
        {
            simProject.tracks.push_back(std::make_unique<SimTrack>());
            simProject.tracks.back()->selected =
                static_cast<bool>(track.getProperty("selected", false));
        }
    if (isNumber(root["cursor"]))
        simProject.cursor = static_cast<double>(root["cursor"]);
    if (auto* range = root["time_selection"].getArray(); range != nullptr && range->size() == 2)
    {
        simProject.selectionStart = static_cast<double>((*range)[0]);
        simProject.selectionEnd = static_cast<double>((*range)[1]);
    }
    simProject.peakActionPumpsMs = static_cast<int>(root.getProperty("peak_action_pumps_ms", 0));
    simProject.projectPath = utf8(root.getProperty("project_path", ""));
    if (auto* sources = root["sources"].getDynamicObject())
        for (auto& entry : sources->getProperties())
            simProject.sourceLengths[entry.name.toString().toStdString()] =
                static_cast<double>(entry.value);
    return true;
}

juce::String stateJson(const std::vector<int>& entryResults,
                       const std::vector<MessageBoxSeen>& boxes,
                       const std::vector<double>& dispatchTimes, bool listDispatchTimes,
                       const std::vector<MemorySample>& memory)
{
    // Sampled before the extension is loaded, after the entry calls, and before the unload.
    juce::StringArray workingSet, privateBytes;
    for (auto& sample : memory)
    {
        workingSet.add(number(sample.workingSet));
        privateBytes.add(number(sample.privateBytes));
    }

    double longest = 0.0, total = 0.0;
    juce::StringArray times;
    for (double ms : dispatchTimes)
    {
        longest = std::max(longest, ms);
        total += ms;
        if (listDispatchTimes)
            times.add(number(ms));
    }
    juce::String dispatch = "{\"count\": " + juce::String(static_cast<int>(dispatchTimes.size())) +
                            ", \"max_ms\": " + number(longest) + ", \"total_ms\": " + number(total);
    if (listDispatchTimes)
        dispatch << ", \"times_ms\": [" << times.joinIntoString(", ") << "]";
    dispatch << "}";

    juce::StringArray results;
    for (int r : entryResults)
        results.add(juce::String(r));

    juce::StringArray boxTexts;
    for (auto& box : boxes)
        boxTexts.add("{\"title\": " + jsonString(box.title) +
                     ", \"text\": " + jsonString(box.text) + "}");

    juce::StringArray tracks;
    for (auto& track : simProject.tracks)
    {
        juce::StringArray items;
        for (auto& item : track->items)
        {
            juce::StringArray takes;
            for (auto& take : item->takes)
                takes.add("{\"name\": " + jsonString(take->name) +
                          ", \"start_offset\": " + number(take->startOffset) + ", \"source\": " +
                          (take->source != nullptr ? jsonString(take->source->path) : "null") +
                          "}");
            items.add("{\"position\": " + number(item->position) +
                      ", \"length\": " + number(item->length) +
                      ", \"loop_source\": " + (item->loopSource ? "true" : "false") +
                      ", \"takes\": [" + takes.joinIntoString(", ") + "]}");
        }
        tracks.add(juce::String("{\"selected\": ") + (track->selected ? "true" : "false") +
                   ", \"items\": [" + items.joinIntoString(", ") + "]}");
    }

    juce::StringArray nestedCalls;
    for (auto& call : simProject.nestedCalls)
        nestedCalls.add(jsonString(call));

    juce::StringArray commands;
    for (auto& [command, flag] : simProject.commands)
        commands.add("[" + juce::String(command) + ", " + juce::String(flag) + "]");

    return "{\n  \"entry_results\": [" + results.joinIntoString(", ") + "],\n" +
           "  \"message_boxes\": [" + boxTexts.joinIntoString(", ") + "],\n" +
           "  \"cursor\": " + number(simProject.cursor) + ",\n" + "  \"time_selection\": [" +
           number(simProject.selectionStart) + ", " + number(simProject.selectionEnd) + "],\n" +
           "  \"tracks\": [" + tracks.joinIntoString(",\n    ") + "],\n" + "  \"commands\": [" +
           commands.joinIntoString(", ") + "],\n" + "  \"nested_host_calls\": [" +
           nestedCalls.joinIntoString(", ") + "],\n" +
           "  \"sources_created\": " + juce::String(static_cast<int>(simProject.sources.size())) +
           ",\n" + "  \"sources_unattached\": " + juce::String(simProject.leakedSourceCount()) +
           ",\n" + "  \"dispatch\": " + dispatch + ",\n" + "  \"memory\": {\"working_set\": [" +
           workingSet.joinIntoString(", ") + "], \"private\": [" +
           privateBytes.joinIntoString(", ") + "]}\n}\n";
}
