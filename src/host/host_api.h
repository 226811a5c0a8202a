#pragma once

#include "reaper_host_interface.h"

// The host API table: one slot per host function, bound by name at load and never cleared.
extern AddMediaItemToTrackFn AddMediaItemToTrack;
extern AddTakeToMediaItemFn AddTakeToMediaItem;
extern CountTracksFn CountTracks;
extern GetCursorPositionFn GetCursorPosition;
extern GetMediaItemTake_SourceFn GetMediaItemTake_Source;
extern GetMediaSourceLengthFn GetMediaSourceLength;
extern GetProjectPathFn GetProjectPath;
extern GetSelectedTrackFn GetSelectedTrack;
extern GetSet_LoopTimeRangeFn GetSet_LoopTimeRange;
extern GetSet_LoopTimeRange2Fn GetSet_LoopTimeRange2;
extern GetSetMediaItemInfoFn GetSetMediaItemInfo;
extern GetSetMediaItemTakeInfoFn GetSetMediaItemTakeInfo;
extern GetTrackFn GetTrack;
extern InsertMediaFn InsertMedia;
extern Main_OnCommandFn Main_OnCommand;
extern PCM_Source_CreateFromFileFn PCM_Source_CreateFromFile;
extern SetEditCurPosFn SetEditCurPos;
extern SetMediaItemInfo_ValueFn SetMediaItemInfo_Value;
extern SetMediaItemLengthFn SetMediaItemLength;
extern SetMediaItemPositionFn SetMediaItemPosition;
extern SetMediaItemTake_SourceFn SetMediaItemTake_Source;
extern SetMediaItemTakeInfo_ValueFn SetMediaItemTakeInfo_Value;
extern UpdateArrangeFn UpdateArrange;
extern UpdateItemInProjectFn UpdateItemInProject;

using HostGetFunc = void* (*)(const char* name);

struct HostApiSlot
{
    void* slot; // the address of one of the function pointers above
    const char* name;
};

// In alphabetical order, closed by an entry whose slot is null.
extern const HostApiSlot hostApiLoaderTable[];

// Binds every slot of the loader table and returns how many names the host did not know.
int REAPERAPI_LoadAPI(HostGetFunc getFunc);

// The names in the order the extension checks them, closed by a null.
extern const char* const hostApiCheckOrder[];

// Binds the names again one at a time in the order the extension checks them; false at the first
// name the host does not know.
bool bindHostApiInCheckOrder(HostGetFunc getFunc);
