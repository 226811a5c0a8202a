#include "host_api.h"

#include <cstring>

AddMediaItemToTrackFn AddMediaItemToTrack;
AddTakeToMediaItemFn AddTakeToMediaItem;
CountTracksFn CountTracks;
GetCursorPositionFn GetCursorPosition;
GetMediaItemTake_SourceFn GetMediaItemTake_Source;
GetMediaSourceLengthFn GetMediaSourceLength;
GetProjectPathFn GetProjectPath;
GetSelectedTrackFn GetSelectedTrack;
GetSet_LoopTimeRangeFn GetSet_LoopTimeRange;
GetSet_LoopTimeRange2Fn GetSet_LoopTimeRange2;
GetSetMediaItemInfoFn GetSetMediaItemInfo;
GetSetMediaItemTakeInfoFn GetSetMediaItemTakeInfo;
GetTrackFn GetTrack;
InsertMediaFn InsertMedia;
Main_OnCommandFn Main_OnCommand;
PCM_Source_CreateFromFileFn PCM_Source_CreateFromFile;
SetEditCurPosFn SetEditCurPos;
SetMediaItemInfo_ValueFn SetMediaItemInfo_Value;
SetMediaItemLengthFn SetMediaItemLength;
SetMediaItemPositionFn SetMediaItemPosition;
SetMediaItemTake_SourceFn SetMediaItemTake_Source;
SetMediaItemTakeInfo_ValueFn SetMediaItemTakeInfo_Value;
UpdateArrangeFn UpdateArrange;
UpdateItemInProjectFn UpdateItemInProject;

#define HOST_API_SLOT(name)                                                                        \
    {                                                                                              \
        &name, #name                                                                               \
    }

const HostApiSlot hostApiLoaderTable[] = {
    HOST_API_SLOT(AddMediaItemToTrack),
    HOST_API_SLOT(AddTakeToMediaItem),
    HOST_API_SLOT(CountTracks),
    HOST_API_SLOT(GetCursorPosition),
    HOST_API_SLOT(GetMediaItemTake_Source),
    HOST_API_SLOT(GetMediaSourceLength),
    HOST_API_SLOT(GetProjectPath),
    HOST_API_SLOT(GetSelectedTrack),
    HOST_API_SLOT(GetSet_LoopTimeRange),
    HOST_API_SLOT(GetSet_LoopTimeRange2),
    HOST_API_SLOT(GetSetMediaItemInfo),
    HOST_API_SLOT(GetSetMediaItemTakeInfo),
    HOST_API_SLOT(GetTrack),
    HOST_API_SLOT(InsertMedia),
    HOST_API_SLOT(Main_OnCommand),
    HOST_API_SLOT(PCM_Source_CreateFromFile),
    HOST_API_SLOT(SetEditCurPos),
    HOST_API_SLOT(SetMediaItemInfo_Value),
    HOST_API_SLOT(SetMediaItemLength),
    HOST_API_SLOT(SetMediaItemPosition),
    HOST_API_SLOT(SetMediaItemTake_Source),
    HOST_API_SLOT(SetMediaItemTakeInfo_Value),
    HOST_API_SLOT(UpdateArrange),
    HOST_API_SLOT(UpdateItemInProject),
    {nullptr, nullptr},
};

#undef HOST_API_SLOT

namespace
{
// Function and data pointers have the same size on every target; copying the bytes avoids
// reading a function pointer through a pointer of another type.
static_assert(sizeof(void*) == sizeof(AddMediaItemToTrackFn));

void storeInSlot(void* slot, void* address)
{
    std::memcpy(slot, &address, sizeof address);
}

const HostApiSlot* findSlot(const char* name)
{
    for (const HostApiSlot* entry = hostApiLoaderTable; entry->slot != nullptr; ++entry)
        if (std::strcmp(entry->name, name) == 0)
            return entry;
    return nullptr;
}

} // namespace

const char* const hostApiCheckOrder[] = {
    "PCM_Source_CreateFromFile",
    "AddMediaItemToTrack",
    "GetSelectedTrack",
    "AddTakeToMediaItem",
    "GetMediaSourceLength",
    "SetMediaItemTake_Source",
    "SetMediaItemTakeInfo_Value",
    "SetMediaItemLength",
    "SetMediaItemPosition",
    "GetCursorPosition",
    "SetEditCurPos",
    "InsertMedia",
    "UpdateArrange",
    "CountTracks",
    "GetTrack",
    "GetSetMediaItemInfo",
    "SetMediaItemInfo_Value",
    "GetSet_LoopTimeRange",
    "GetSet_LoopTimeRange2",
    "GetMediaItemTake_Source",
    "Main_OnCommand",
    "GetSetMediaItemTakeInfo",
    "UpdateItemInProject",
    "GetProjectPath",
    nullptr,
};

int REAPERAPI_LoadAPI(HostGetFunc getFunc)
{
    int missing = 0;
    for (const HostApiSlot* entry = hostApiLoaderTable; entry->slot != nullptr; ++entry)
    {
        void* address = getFunc(entry->name);
        storeInSlot(entry->slot, address);
        if (address == nullptr)
            ++missing;
    }
    return missing;
}

bool bindHostApiInCheckOrder(HostGetFunc getFunc)
{
    for (const char* const* name = hostApiCheckOrder; *name != nullptr; ++name)
    {
        void* address = getFunc(*name);
        storeInSlot(findSlot(*name)->slot, address);
        if (address == nullptr)
            return false;
    }
    return true;
}
