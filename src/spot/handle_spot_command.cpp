#include "handle_spot_command.h"

#include "decode_utf8.h"
#include "host_api.h"

namespace
{
constexpr int buildMissingPeaksAction = 40047;

MediaTrack* chooseTrack(juce::String& failure)
{
    if (MediaTrack* selected = GetSelectedTrack(nullptr, 0))
        return selected;
    if (CountTracks(nullptr) == 0)
    {
        failure = "No track";
        return nullptr;
    }
    MediaTrack* first = GetTrack(nullptr, 0);
    if (first == nullptr)
        failure = "No Tracks in session";
    return first;
}
} // namespace

juce::Result handleSpotCommand(const VantorelReaper::SpotCommand& command)
{
    // The track is chosen before the source is created: the host offers the extension no way to
    // release a source, so one created for a project without tracks would stay open (and its file
    // locked) until the host exits.
    juce::String failure;
    MediaTrack* track = chooseTrack(failure);
    if (track == nullptr)
        return juce::Result::fail(failure);

    const std::string& path = command.file_path();
    PCM_source* source = PCM_Source_CreateFromFile(path.c_str());
    if (source == nullptr)
        return juce::Result::fail("Unable to find source file:" +
                                  decodeUtf8(path.c_str(), path.size()));

    MediaItem* item = AddMediaItemToTrack(track);
    if (item == nullptr)
        return juce::Result::fail("No media item");

    MediaItem_Take* take = AddTakeToMediaItem(item);
    if (take == nullptr)
        return juce::Result::fail("No take");

    bool lengthIsQuarterNotes = false;
    double length = GetMediaSourceLength(source, &lengthIsQuarterNotes);

    float inValue = 0.0f;
    if (command.has_in_point())
    {
        inValue = command.in_point();
        SetMediaItemTakeInfo_Value(take, "D_STARTOFFS", static_cast<double>(inValue));
    }
    if (command.has_out_point())
        length = static_cast<double>(command.out_point()) - static_cast<double>(inValue);

    double selectionStart = 0.0;
    double selectionEnd = 0.0;
    GetSet_LoopTimeRange2(nullptr, false, false, &selectionStart, &selectionEnd, false);
    juce::Logger::writeToLog(
        juce::String::formatted("Selection In:%f Out:%f", selectionStart, selectionEnd));

    SetMediaItemInfo_Value(item, "B_LOOPSRC", 0.0);
    GetSetMediaItemTakeInfo(take, "P_NAME", const_cast<char*>(command.name().c_str()));

    const double cursor = GetCursorPosition();

    // Inside the time selection the item is at most as long as the selection; the comparisons
    // use the selection's start on purpose, and a NaN anywhere leaves the length alone.
    if (selectionStart <= cursor && cursor < selectionEnd && selectionEnd < selectionStart + length)
        length = selectionEnd - selectionStart;

    SetMediaItemLength(item, length, true);
    SetMediaItemPosition(item, cursor, true);
    SetMediaItemTake_Source(take, source);
    SetEditCurPos(cursor + length, true, false);
    UpdateItemInProject(item);
    Main_OnCommand(buildMissingPeaksAction, 0);
    return juce::Result::ok();
}
