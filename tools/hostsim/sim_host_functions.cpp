#include "sim_project.h"

#include "message_loop.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

SimProject simProject;

namespace
{
template <typename T, typename U> T* as(U* p)
{
    return reinterpret_cast<T*>(p);
}

MediaItem* simAddMediaItemToTrack(MediaTrack* track)
{
    auto& items = as<SimTrack>(track)->items;
    items.push_back(std::make_unique<SimItem>());
    return as<MediaItem>(items.back().get());
}

MediaItem_Take* simAddTakeToMediaItem(MediaItem* item)
{
    auto& takes = as<SimItem>(item)->takes;
    takes.push_back(std::make_unique<SimTake>());
    return as<MediaItem_Take>(takes.back().get());
}

int simCountTracks(ReaProject*)
{
    return static_cast<int>(simProject.tracks.size());
}

double simGetCursorPosition()
{
    return simProject.cursor;
}

PCM_source* simGetMediaItemTake_Source(MediaItem_Take* take)
{
    return as<PCM_source>(as<SimTake>(take)->source);
}

double simGetMediaSourceLength(PCM_source* source, bool* lengthIsQN)
{
    if (lengthIsQN != nullptr)
        *lengthIsQN = false;
    return as<SimSource>(source)->length;
}

void simGetProjectPath(char* buffer, int size)
{
    // Like the host, a path that does not fit fills the whole buffer without a terminator.
    if (size <= 0)
        return;
    const auto n = std::min(simProject.projectPath.size(), static_cast<size_t>(size));
    std::memcpy(buffer, simProject.projectPath.data(), n);
    if (n < static_cast<size_t>(size))
        buffer[n] = '\0';
}

MediaTrack* simGetSelectedTrack(ReaProject*, int index)
{
    for (auto& track : simProject.tracks)
        if (track->selected && index-- == 0)
            return as<MediaTrack>(track.get());
    return nullptr;
}

void simGetSet_LoopTimeRange2(ReaProject*, bool isSet, bool, double* start, double* end, bool)
{
    if (isSet)
    {
        simProject.selectionStart = *start;
        simProject.selectionEnd = *end;
        return;
    }
    *start = simProject.selectionStart;
    *end = simProject.selectionEnd;
}

void simGetSet_LoopTimeRange(bool isSet, bool isLoop, double* start, double* end, bool seek)
{
    simGetSet_LoopTimeRange2(nullptr, isSet, isLoop, start, end, seek);
}

void* simGetSetMediaItemInfo(MediaItem*, const char*, void*)
{
    return nullptr;
}

void* simGetSetMediaItemTakeInfo(MediaItem_Take* take, const char* key, void* value)
{
    if (std::strcmp(key, "P_NAME") != 0)
        return nullptr;
    auto* t = as<SimTake>(take);
    if (value != nullptr)
        t->name = static_cast<const char*>(value);
    return const_cast<char*>(t->name.c_str());
}

MediaTrack* simGetTrack(ReaProject*, int index)
{
    if (index < 0 || index >= static_cast<int>(simProject.tracks.size()))
        return nullptr;
    return as<MediaTrack>(simProject.tracks[static_cast<size_t>(index)].get());
}

int simInsertMedia(const char*, int)
{
    return 0;
}

void simMain_OnCommand(int command, int flag)
{
    simProject.commands.emplace_back(command, flag);
    constexpr int buildMissingPeaks = 40047;
    if (command == buildMissingPeaks && simProject.peakActionPumpsMs > 0)
    {
        // Printed before the first message is dispatched, so a test can send a request that
        // arrives while this call is still running.
        std::printf("pumping messages\n");
        std::fflush(stdout);
        pumpMessages(simProject.peakActionPumpsMs);
        std::printf("pumped messages\n");
        std::fflush(stdout);
    }
}

PCM_source* simPCM_Source_CreateFromFile(const char* path)
{
    double length = 0.0;
    const auto given = simProject.sourceLengths.find(path);
    if (given != simProject.sourceLengths.end())
        length = given->second;
    else if ((length = wavFileLength(path)) < 0.0)
        return nullptr;
    simProject.sources.push_back(std::make_unique<SimSource>(SimSource{path, length}));
    return as<PCM_source>(simProject.sources.back().get());
}

void simSetEditCurPos(double time, bool, bool)
{
    simProject.cursor = time;
}

bool simSetMediaItemInfo_Value(MediaItem* item, const char* key, double value)
{
    if (std::strcmp(key, "B_LOOPSRC") != 0)
        return false;
    as<SimItem>(item)->loopSource = value != 0.0;
    return true;
}

bool simSetMediaItemLength(MediaItem* item, double length, bool)
{
    as<SimItem>(item)->length = length;
    return true;
}

bool simSetMediaItemPosition(MediaItem* item, double position, bool)
{
    as<SimItem>(item)->position = position;
    return true;
}

bool simSetMediaItemTake_Source(MediaItem_Take* take, PCM_source* source)
{
    as<SimTake>(take)->source = as<SimSource>(source);
    return true;
}

bool simSetMediaItemTakeInfo_Value(MediaItem_Take* take, const char* key, double value)
{
    if (std::strcmp(key, "D_STARTOFFS") != 0)
        return false;
    as<SimTake>(take)->startOffset = value;
    return true;
}

void simUpdateArrange() {}

void simUpdateItemInProject(MediaItem*) {}

template <typename F> void* address(F f)
{
    return reinterpret_cast<void*>(f);
}

// Every host function runs inside one of these, so that a call made while another is still
// running (from a message the host dispatched inside it) is recorded.
std::vector<const char*> runningCalls;

template <auto F> struct Recorded;
template <typename R, typename... A, R (*F)(A...)> struct Recorded<F>
{
    static inline const char* name = nullptr;

    static R call(A... args)
    {
        if (!runningCalls.empty())
            simProject.nestedCalls.push_back(std::string(name) + " in " + runningCalls.back());
        runningCalls.push_back(name);
        struct Pop
        {
            ~Pop() { runningCalls.pop_back(); }
        } pop;
        return F(args...);
    }
};

template <auto F> std::pair<const std::string, void*> recorded(const char* name)
{
    Recorded<F>::name = name;
    return {name, address(&Recorded<F>::call)};
}

#define SIM_HOST_FUNCTION(name) recorded<sim##name>(#name)

const std::map<std::string, void*>& functions()
{
    static const std::map<std::string, void*> table = {
        SIM_HOST_FUNCTION(AddMediaItemToTrack),
        SIM_HOST_FUNCTION(AddTakeToMediaItem),
        SIM_HOST_FUNCTION(CountTracks),
        SIM_HOST_FUNCTION(GetCursorPosition),
        SIM_HOST_FUNCTION(GetMediaItemTake_Source),
        SIM_HOST_FUNCTION(GetMediaSourceLength),
        SIM_HOST_FUNCTION(GetProjectPath),
        SIM_HOST_FUNCTION(GetSelectedTrack),
        SIM_HOST_FUNCTION(GetSet_LoopTimeRange),
        SIM_HOST_FUNCTION(GetSet_LoopTimeRange2),
        SIM_HOST_FUNCTION(GetSetMediaItemInfo),
        SIM_HOST_FUNCTION(GetSetMediaItemTakeInfo),
        SIM_HOST_FUNCTION(GetTrack),
        SIM_HOST_FUNCTION(InsertMedia),
        SIM_HOST_FUNCTION(Main_OnCommand),
        SIM_HOST_FUNCTION(PCM_Source_CreateFromFile),
        SIM_HOST_FUNCTION(SetEditCurPos),
        SIM_HOST_FUNCTION(SetMediaItemInfo_Value),
        SIM_HOST_FUNCTION(SetMediaItemLength),
        SIM_HOST_FUNCTION(SetMediaItemPosition),
        SIM_HOST_FUNCTION(SetMediaItemTake_Source),
        SIM_HOST_FUNCTION(SetMediaItemTakeInfo_Value),
        SIM_HOST_FUNCTION(UpdateArrange),
        SIM_HOST_FUNCTION(UpdateItemInProject),
    };
    return table;
}

#undef SIM_HOST_FUNCTION
} // namespace

void* simGetFunc(const char* name)
{
    if (name == nullptr || simProject.missingFunctions.count(name) != 0)
        return nullptr;
    const auto found = functions().find(name);
    return found == functions().end() ? nullptr : found->second;
}

int SimProject::leakedSourceCount() const
{
    int attached = 0;
    for (auto& track : tracks)
        for (auto& item : track->items)
            for (auto& take : item->takes)
                attached += take->source != nullptr ? 1 : 0;
    return static_cast<int>(sources.size()) - attached;
}
