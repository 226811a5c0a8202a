#pragma once

// The host interface as the extension uses it: the plug-in record handed to the entry point,
// the host's opaque object types, and the types of the host functions the extension binds
// (listed in host_functions.h).
// Host objects are only passed back to the host: the host's C++ ABI is not MinGW's, so no
// virtual method of one is ever called and none is ever deleted here.

#include "host_functions.h"

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

#define VANTOREL_HOST_FUNCTION_TYPE(name, result, parameters) using name##Fn = result(*) parameters;
VANTOREL_HOST_FUNCTIONS(VANTOREL_HOST_FUNCTION_TYPE, VANTOREL_HOST_FUNCTION_TYPE)
#undef VANTOREL_HOST_FUNCTION_TYPE
