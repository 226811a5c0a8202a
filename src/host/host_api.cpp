#include "host_api.h"

#include <cstring>

#define VANTOREL_HOST_FUNCTION_SLOT(name, result, parameters) name##Fn name;
VANTOREL_HOST_FUNCTIONS(VANTOREL_HOST_FUNCTION_SLOT, VANTOREL_HOST_FUNCTION_SLOT)
#undef VANTOREL_HOST_FUNCTION_SLOT

#define VANTOREL_SLOT(name, result, parameters) {&name, #name},
#define VANTOREL_SKIP(name, result, parameters)
const HostApiSlot hostApiLoaderTable[] = {
    VANTOREL_HOST_FUNCTIONS(VANTOREL_SLOT, VANTOREL_SKIP){nullptr, nullptr},
};
const HostApiSlot hostApiOptionalTable[] = {
    VANTOREL_HOST_FUNCTIONS(VANTOREL_SKIP, VANTOREL_SLOT){nullptr, nullptr},
};
#undef VANTOREL_SLOT
#undef VANTOREL_SKIP

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

void bindOptionalHostApi(HostGetFunc getFunc)
{
    for (const HostApiSlot* entry = hostApiOptionalTable; entry->slot != nullptr; ++entry)
        storeInSlot(entry->slot, getFunc(entry->name));
}
