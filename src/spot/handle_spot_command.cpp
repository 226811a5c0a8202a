#include "handle_spot_command.h"

#include "decode_utf8.h"
#include "host_api.h"

#include <iterator>

namespace
{
constexpr int buildMissingPeaksAction = 40047;
constexpr int undoStateItems = 4; // the host's undo flag: items changed

const char* const sourceMissing = "Unable to find source file:";
const char* const noTrack = "No track";
const char* const noTracksInSession = "No Tracks in session";
const char* const noMediaItem = "No media item";
const char* const noTake = "No take";

MediaTrack* chooseTrack(juce::String& failure)
{
    if (MediaTrack* selected = GetSelectedTrack(nullptr, 0))
        return selected;
    if (CountTracks(nullptr) == 0)
    {
        failure = noTrack;
        return nullptr;
    }
    MediaTrack* first = GetTrack(nullptr, 0);
    if (first == nullptr)
        failure = noTracksInSession;
    return first;
}

// What the host's Undo names the spot after: the take's name, or the file's when that is empty.
juce::String undoDescription(const VantorelReaper::SpotCommand& command)
{
    const std::string& path = command.file_path();
    const std::string name =
        !command.name().empty() ? command.name() : path.substr(path.find_last_of("\\/") + 1);
    return "Spot \"" + decodeUtf8(name.c_str(), name.size()) + "\"";
}

// The host functions below are optional: without them a spot works as it always did.
void preventRefresh(int count)
{
    if (PreventUIRefresh != nullptr)
        PreventUIRefresh(count);
}

bool hostHasUndoBlocks()
{
    return Undo_BeginBlock2 != nullptr && Undo_EndBlock2 != nullptr;
}

// Only for a source that no take refers to.
void releaseSource(PCM_source* source)
{
    if (PCM_Source_Destroy != nullptr)
        PCM_Source_Destroy(source);
}
} // namespace

int spotFailureCode(const juce::String& failureText)
{
    if (failureText.startsWith(sourceMissing))
        return 1;
    const char* const exact[] = {noTrack, noTracksInSession, noMediaItem, noTake};
    for (size_t i = 0; i < std::size(exact); ++i)
        if (failureText == exact[i])
            return static_cast<int>(i) + 2;
    return 0;
}

juce::Result handleSpotCommand(const VantorelReaper::SpotCommand& command)
{
    // The track is chosen before the source is created, so that a project without tracks never
    // holds a source open (its file locked) for nothing, even on a host that cannot release one.
    juce::String failure;
    MediaTrack* track = chooseTrack(failure);
    if (track == nullptr)
        return juce::Result::fail(failure);

    const std::string& path = command.file_path();
    PCM_source* source = PCM_Source_CreateFromFile(path.c_str());
    if (source == nullptr)
        return juce::Result::fail(sourceMissing + decodeUtf8(path.c_str(), path.size()));

    // The arrange view is redrawn once, after the whole change, not by each setter.
    preventRefresh(1);
    MediaItem* item = AddMediaItemToTrack(track);
    if (item == nullptr)
    {
        preventRefresh(-1);
        releaseSource(source);
        return juce::Result::fail(noMediaItem);
    }

    // The host's undo point is a snapshot taken when the block ends, so the block may begin once
    // the project has an item to change.
    const bool undoBlock = hostHasUndoBlocks();
    const juce::String description = undoBlock ? undoDescription(command) : juce::String();
    if (undoBlock)
        Undo_BeginBlock2(nullptr);

    MediaItem_Take* take = AddTakeToMediaItem(item);
    if (take == nullptr)
    {
        releaseSource(source);
        if (undoBlock)
            Undo_EndBlock2(nullptr, description.toRawUTF8(), undoStateItems);
        preventRefresh(-1);
        return juce::Result::fail(noTake);
    }

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
    if (undoBlock)
        Undo_EndBlock2(nullptr, description.toRawUTF8(), undoStateItems);
    preventRefresh(-1);

    // Outside the undo block and with the display live again: the host may show a progress
    // window while it builds peaks.
    Main_OnCommand(buildMissingPeaksAction, 0);
    return juce::Result::ok();
}
