#include "state_json.h"

#include <cstdio>
#include <cstdlib>

namespace
{
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

juce::String stateJson(const HostModel& project, const std::vector<int>& entryResults,
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
    for (auto& track : project.tracks)
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
    for (auto& call : project.nestedCalls)
        nestedCalls.add(jsonString(call));

    juce::StringArray undoPoints;
    for (auto& point : project.undoPoints)
        undoPoints.add("{\"description\": " + jsonString(point.description) +
                       ", \"flags\": " + juce::String(point.flags) +
                       ", \"items\": " + juce::String(point.items) + "}");

    juce::StringArray commands;
    for (auto& [command, flag] : project.commands)
        commands.add("[" + juce::String(command) + ", " + juce::String(flag) + "]");

    return "{\n  \"entry_results\": [" + results.joinIntoString(", ") + "],\n" +
           "  \"message_boxes\": [" + boxTexts.joinIntoString(", ") + "],\n" +
           "  \"cursor\": " + number(project.cursor) + ",\n" + "  \"time_selection\": [" +
           number(project.selectionStart) + ", " + number(project.selectionEnd) + "],\n" +
           "  \"tracks\": [" + tracks.joinIntoString(",\n    ") + "],\n" + "  \"commands\": [" +
           commands.joinIntoString(", ") + "],\n" + "  \"nested_host_calls\": [" +
           nestedCalls.joinIntoString(", ") + "],\n" +
           "  \"sources_created\": " + juce::String(static_cast<int>(project.sources.size())) +
           ",\n" + "  \"sources_unattached\": " + juce::String(project.unattachedSourceCount()) +
           ",\n" + "  \"sources_destroyed\": " + juce::String(project.destroyedSourceCount()) +
           ",\n" + "  \"undo_points\": [" + undoPoints.joinIntoString(", ") + "],\n" +
           "  \"ui_refresh_depth\": " + juce::String(project.uiRefreshDepth) + ",\n" +
           "  \"dispatch\": " + dispatch + ",\n" + "  \"memory\": {\"working_set\": [" +
           workingSet.joinIntoString(", ") + "], \"private\": [" +
           privateBytes.joinIntoString(", ") + "]}\n}\n";
}
