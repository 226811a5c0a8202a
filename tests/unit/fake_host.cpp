#include "fake_host.h"

#include <cstring>
#include <gtest/gtest.h>

namespace
{
FakeHost* host = nullptr;

FakeHost& current(const char* call)
{
    if (host == nullptr)
        ADD_FAILURE() << call << " called with no fake host installed";
    host->calls.push_back(call);
    return *host;
}

template <typename T, typename U> T* as(U* p)
{
    return reinterpret_cast<T*>(p);
}

MediaItem* fakeAddMediaItemToTrack(MediaTrack* track)
{
    auto& h = current("AddMediaItemToTrack");
    if (h.addItemFails)
        return nullptr;
    auto& items = as<FakeHost::Track>(track)->items;
    items.push_back(std::make_unique<FakeHost::Item>());
    return as<MediaItem>(items.back().get());
}

MediaItem_Take* fakeAddTakeToMediaItem(MediaItem* item)
{
    auto& h = current("AddTakeToMediaItem");
    if (h.addTakeFails)
        return nullptr;
    auto& takes = as<FakeHost::Item>(item)->takes;
    takes.push_back(std::make_unique<FakeHost::Take>());
    return as<MediaItem_Take>(takes.back().get());
}

int fakeCountTracks(ReaProject*)
{
    return static_cast<int>(current("CountTracks").tracks.size());
}

double fakeGetCursorPosition()
{
    return current("GetCursorPosition").cursor;
}

double fakeGetMediaSourceLength(PCM_source* source, bool*)
{
    current("GetMediaSourceLength");
    return as<FakeHost::Source>(source)->length;
}

void fakeGetProjectPath(char* buffer, int size)
{
    auto& h = current("GetProjectPath");
    std::memcpy(buffer, h.projectPath.data(), std::min<size_t>(size, h.projectPath.size()));
}

MediaTrack* fakeGetSelectedTrack(ReaProject*, int index)
{
    auto& h = current("GetSelectedTrack");
    for (auto& track : h.tracks)
        if (track->selected && index-- == 0)
            return as<MediaTrack>(track.get());
    return nullptr;
}

void fakeGetSet_LoopTimeRange2(ReaProject*, bool isSet, bool, double* start, double* end, bool)
{
    auto& h = current("GetSet_LoopTimeRange2");
    EXPECT_FALSE(isSet);
    *start = h.selectionStart;
    *end = h.selectionEnd;
}

void* fakeGetSetMediaItemTakeInfo(MediaItem_Take* take, const char* key, void* value)
{
    current("GetSetMediaItemTakeInfo");
    EXPECT_STREQ(key, "P_NAME");
    as<FakeHost::Take>(take)->name = static_cast<const char*>(value);
    return value;
}

MediaTrack* fakeGetTrack(ReaProject*, int index)
{
    auto& h = current("GetTrack");
    if (h.getTrackFails || index >= static_cast<int>(h.tracks.size()))
        return nullptr;
    return as<MediaTrack>(h.tracks[static_cast<size_t>(index)].get());
}

void fakeMain_OnCommand(int command, int flag)
{
    current("Main_OnCommand").commands.emplace_back(command, flag);
}

PCM_source* fakePCM_Source_CreateFromFile(const char* path)
{
    auto& h = current("PCM_Source_CreateFromFile");
    auto found = h.files.find(path);
    if (found == h.files.end())
        return nullptr;
    h.sources.push_back(std::make_unique<FakeHost::Source>(FakeHost::Source{path, found->second}));
    return as<PCM_source>(h.sources.back().get());
}

void fakeSetEditCurPos(double time, bool moveView, bool seekPlay)
{
    auto& h = current("SetEditCurPos");
    EXPECT_TRUE(moveView);
    EXPECT_FALSE(seekPlay);
    h.cursor = time;
    h.editCursorMovedTo = time;
}

bool fakeSetMediaItemInfo_Value(MediaItem* item, const char* key, double value)
{
    current("SetMediaItemInfo_Value");
    EXPECT_STREQ(key, "B_LOOPSRC");
    as<FakeHost::Item>(item)->loopSource = value;
    return true;
}

bool fakeSetMediaItemLength(MediaItem* item, double length, bool)
{
    current("SetMediaItemLength");
    as<FakeHost::Item>(item)->length = length;
    return true;
}

bool fakeSetMediaItemPosition(MediaItem* item, double position, bool)
{
    current("SetMediaItemPosition");
    as<FakeHost::Item>(item)->position = position;
    return true;
}

bool fakeSetMediaItemTake_Source(MediaItem_Take* take, PCM_source* source)
{
    current("SetMediaItemTake_Source");
    as<FakeHost::Take>(take)->source = as<FakeHost::Source>(source);
    return true;
}

bool fakeSetMediaItemTakeInfo_Value(MediaItem_Take* take, const char* key, double value)
{
    current("SetMediaItemTakeInfo_Value");
    EXPECT_STREQ(key, "D_STARTOFFS");
    as<FakeHost::Take>(take)->startOffset = value;
    return true;
}

void fakeUpdateItemInProject(MediaItem*)
{
    current("UpdateItemInProject");
}

// Functions the extension binds but never calls fail the test if they are called.
PCM_source* neverGetMediaItemTake_Source(MediaItem_Take*)
{
    ADD_FAILURE() << "GetMediaItemTake_Source called";
    return nullptr;
}
void neverGetSet_LoopTimeRange(bool, bool, double*, double*, bool)
{
    ADD_FAILURE() << "GetSet_LoopTimeRange called";
}
void* neverGetSetMediaItemInfo(MediaItem*, const char*, void*)
{
    ADD_FAILURE() << "GetSetMediaItemInfo called";
    return nullptr;
}
int neverInsertMedia(const char*, int)
{
    ADD_FAILURE() << "InsertMedia called";
    return 0;
}
void neverUpdateArrange()
{
    ADD_FAILURE() << "UpdateArrange called";
}
} // namespace

FakeHost::FakeHost()
{
    host = this;
    AddMediaItemToTrack = fakeAddMediaItemToTrack;
    AddTakeToMediaItem = fakeAddTakeToMediaItem;
    CountTracks = fakeCountTracks;
    GetCursorPosition = fakeGetCursorPosition;
    GetMediaItemTake_Source = neverGetMediaItemTake_Source;
    GetMediaSourceLength = fakeGetMediaSourceLength;
    GetProjectPath = fakeGetProjectPath;
    GetSelectedTrack = fakeGetSelectedTrack;
    GetSet_LoopTimeRange = neverGetSet_LoopTimeRange;
    GetSet_LoopTimeRange2 = fakeGetSet_LoopTimeRange2;
    GetSetMediaItemInfo = neverGetSetMediaItemInfo;
    GetSetMediaItemTakeInfo = fakeGetSetMediaItemTakeInfo;
    GetTrack = fakeGetTrack;
    InsertMedia = neverInsertMedia;
    Main_OnCommand = fakeMain_OnCommand;
    PCM_Source_CreateFromFile = fakePCM_Source_CreateFromFile;
    SetEditCurPos = fakeSetEditCurPos;
    SetMediaItemInfo_Value = fakeSetMediaItemInfo_Value;
    SetMediaItemLength = fakeSetMediaItemLength;
    SetMediaItemPosition = fakeSetMediaItemPosition;
    SetMediaItemTake_Source = fakeSetMediaItemTake_Source;
    SetMediaItemTakeInfo_Value = fakeSetMediaItemTakeInfo_Value;
    UpdateArrange = neverUpdateArrange;
    UpdateItemInProject = fakeUpdateItemInProject;
}

FakeHost::~FakeHost()
{
    host = nullptr;
}

FakeHost::Track& FakeHost::addTrack(bool selected)
{
    tracks.push_back(std::make_unique<Track>());
    tracks.back()->selected = selected;
    return *tracks.back();
}

int FakeHost::attachedSourceCount() const
{
    int count = 0;
    for (auto& track : tracks)
        for (auto& item : track->items)
            for (auto& take : item->takes)
                count += take->source != nullptr ? 1 : 0;
    return count;
}
