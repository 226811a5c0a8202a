#pragma once

// Every host function the extension binds, in the host's own order of names (case-insensitive,
// so '_' comes before the letters), as REQUIRED(name, result, parameters) when the extension
// cannot load without it, OPTIONAL(...) when it does without. Each use of the list says what to
// make of an entry: the function types, the slots, the loader table, the host model.
#define VANTOREL_HOST_FUNCTIONS(REQUIRED, OPTIONAL)                                                \
    REQUIRED(AddMediaItemToTrack, MediaItem*, (MediaTrack * track))                                \
    REQUIRED(AddTakeToMediaItem, MediaItem_Take*, (MediaItem * item))                              \
    REQUIRED(CountTracks, int, (ReaProject * project))                                             \
    REQUIRED(GetCursorPosition, double, ())                                                        \
    REQUIRED(GetMediaItemTake_Source, PCM_source*, (MediaItem_Take * take))                        \
    REQUIRED(GetMediaSourceLength, double, (PCM_source * source, bool* lengthIsQNOut))             \
    REQUIRED(GetProjectPath, void, (char* buffer, int bufferSize))                                 \
    REQUIRED(GetSelectedTrack, MediaTrack*, (ReaProject * project, int selectedTrackIndex))        \
    REQUIRED(GetSet_LoopTimeRange, void,                                                           \
             (bool isSet, bool isLoop, double* start, double* end, bool allowAutoSeek))            \
    REQUIRED(GetSet_LoopTimeRange2, void,                                                          \
             (ReaProject * project, bool isSet, bool isLoop, double* start, double* end,           \
              bool allowAutoSeek))                                                                 \
    REQUIRED(GetSetMediaItemInfo, void*, (MediaItem * item, const char* key, void* newValue))      \
    REQUIRED(GetSetMediaItemTakeInfo, void*,                                                       \
             (MediaItem_Take * take, const char* key, void* newValue))                             \
    REQUIRED(GetTrack, MediaTrack*, (ReaProject * project, int trackIndex))                        \
    REQUIRED(InsertMedia, int, (const char* file, int mode))                                       \
    REQUIRED(Main_OnCommand, void, (int command, int flag))                                        \
    REQUIRED(PCM_Source_CreateFromFile, PCM_source*, (const char* path))                           \
    OPTIONAL(PCM_Source_Destroy, void, (PCM_source * source))                                      \
    OPTIONAL(PreventUIRefresh, void, (int preventCount))                                           \
    REQUIRED(SetEditCurPos, void, (double time, bool moveView, bool seekPlay))                     \
    REQUIRED(SetMediaItemInfo_Value, bool, (MediaItem * item, const char* key, double value))      \
    REQUIRED(SetMediaItemLength, bool, (MediaItem * item, double length, bool refreshUI))          \
    REQUIRED(SetMediaItemPosition, bool, (MediaItem * item, double position, bool refreshUI))      \
    REQUIRED(SetMediaItemTake_Source, bool, (MediaItem_Take * take, PCM_source * source))          \
    REQUIRED(SetMediaItemTakeInfo_Value, bool,                                                     \
             (MediaItem_Take * take, const char* key, double value))                               \
    OPTIONAL(Undo_BeginBlock2, void, (ReaProject * project))                                       \
    OPTIONAL(Undo_EndBlock2, void,                                                                 \
             (ReaProject * project, const char* description, int extraFlags))                      \
    REQUIRED(UpdateArrange, void, ())                                                              \
    REQUIRED(UpdateItemInProject, void, (MediaItem * item))
