#pragma once

// The host interface as the extension uses it: the plug-in record handed to the entry point,
// the host's opaque object types, and the types of the host functions the extension binds.
// Host objects are only passed back to the host: the host's C++ ABI is not MinGW's, so no
// virtual method of one is ever called and none is ever deleted here.

// Declared as <windows.h> declares them, so that this header needs no <windows.h>, whose macros
// (ERROR among them) would clash with the message classes.
struct HWND__;
struct HINSTANCE__;
typedef HWND__* HWND;
typedef HINSTANCE__* HINSTANCE;

class MediaTrack;
class MediaItem;
class MediaItem_Take;
class PCM_source;
class ReaProject;

// The plug-in interface version this extension is built for.
constexpr int REAPER_PLUGIN_VERSION = 0x20E;

struct reaper_plugin_info_t
{
    int caller_version;
    HWND hwnd_main;
    int (*Register)(const char* name, void* infostruct);
    void* (*GetFunc)(const char* name);
};

using AddMediaItemToTrackFn = MediaItem* (*)(MediaTrack* track);
using AddTakeToMediaItemFn = MediaItem_Take* (*)(MediaItem* item);
using CountTracksFn = int (*)(ReaProject* project);
using GetCursorPositionFn = double (*)();
using GetMediaItemTake_SourceFn = PCM_source* (*)(MediaItem_Take* take);
using GetMediaSourceLengthFn = double (*)(PCM_source* source, bool* lengthIsQNOut);
using GetProjectPathFn = void (*)(char* buffer, int bufferSize);
using GetSelectedTrackFn = MediaTrack* (*)(ReaProject* project, int selectedTrackIndex);
using GetSet_LoopTimeRangeFn = void (*)(bool isSet, bool isLoop, double* start, double* end,
                                        bool allowAutoSeek);
using GetSet_LoopTimeRange2Fn = void (*)(ReaProject* project, bool isSet, bool isLoop,
                                         double* start, double* end, bool allowAutoSeek);
using GetSetMediaItemInfoFn = void* (*)(MediaItem* item, const char* key, void* newValue);
using GetSetMediaItemTakeInfoFn = void* (*)(MediaItem_Take* take, const char* key, void* newValue);
using GetTrackFn = MediaTrack* (*)(ReaProject* project, int trackIndex);
using InsertMediaFn = int (*)(const char* file, int mode);
using Main_OnCommandFn = void (*)(int command, int flag);
using PCM_Source_CreateFromFileFn = PCM_source* (*)(const char* path);
using SetEditCurPosFn = void (*)(double time, bool moveView, bool seekPlay);
using SetMediaItemInfo_ValueFn = bool (*)(MediaItem* item, const char* key, double value);
using SetMediaItemLengthFn = bool (*)(MediaItem* item, double length, bool refreshUI);
using SetMediaItemPositionFn = bool (*)(MediaItem* item, double position, bool refreshUI);
using SetMediaItemTake_SourceFn = bool (*)(MediaItem_Take* take, PCM_source* source);
using SetMediaItemTakeInfo_ValueFn = bool (*)(MediaItem_Take* take, const char* key, double value);
using UpdateArrangeFn = void (*)();
using UpdateItemInProjectFn = void (*)(MediaItem* item);
