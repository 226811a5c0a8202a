// The host functions over the current model, each as the host documents it.
#include "host_model.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <type_traits>

namespace
{
template <typename T, typename U> T* as(U* p)
{
    return reinterpret_cast<T*>(p);
}

std::string describe(bool value)
{
    return value ? "true" : "false";
}

std::string describe(const char* text)
{
    return text == nullptr ? "null" : "\"" + std::string(text) + "\"";
}

template <typename T> std::string describe(T value)
{
    if constexpr (std::is_pointer_v<T>)
        return value == nullptr ? "null" : "ptr";
    else if constexpr (std::is_integral_v<T>)
        return std::to_string(value);
    else
    {
        char text[40];
        std::snprintf(text, sizeof text, "%.17g", static_cast<double>(value));
        return text;
    }
}

// Records one host call for as long as it runs.
struct Call
{
    template <typename... A> Call(const char* name, A... arguments)
    {
        HostModel& model = hostModel();
        std::string text;
        ((text += (text.empty() ? "" : ", ") + describe(arguments)), ...);
        model.calls.push_back(std::string(name) + "(" + text + ")");
        if (!model.runningCalls.empty())
            model.nestedCalls.push_back(std::string(name) + " in " + model.runningCalls.back());
        model.runningCalls.push_back(name);
    }
    ~Call() { hostModel().runningCalls.pop_back(); }
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;
};

MediaItem* modelAddMediaItemToTrack(MediaTrack* track)
{
    const Call call("AddMediaItemToTrack", track);
    if (track == nullptr)
        return nullptr;
    auto& items = as<HostModel::Track>(track)->items;
    items.push_back(std::make_unique<HostModel::Item>());
    return as<MediaItem>(items.back().get());
}

MediaItem_Take* modelAddTakeToMediaItem(MediaItem* item)
{
    const Call call("AddTakeToMediaItem", item);
    if (item == nullptr)
        return nullptr;
    auto& takes = as<HostModel::Item>(item)->takes;
    takes.push_back(std::make_unique<HostModel::Take>());
    return as<MediaItem_Take>(takes.back().get());
}

int modelCountTracks(ReaProject* project)
{
    const Call call("CountTracks", project);
    return static_cast<int>(hostModel().tracks.size());
}

double modelGetCursorPosition()
{
    const Call call("GetCursorPosition");
    return hostModel().cursor;
}

PCM_source* modelGetMediaItemTake_Source(MediaItem_Take* take)
{
    const Call call("GetMediaItemTake_Source", take);
    return take == nullptr ? nullptr : as<PCM_source>(as<HostModel::Take>(take)->source);
}

double modelGetMediaSourceLength(PCM_source* source, bool* lengthIsQN)
{
    const Call call("GetMediaSourceLength", source, lengthIsQN);
    if (lengthIsQN != nullptr)
        *lengthIsQN = false;
    return source == nullptr ? 0.0 : as<HostModel::Source>(source)->length;
}

void modelGetProjectPath(char* buffer, int size)
{
    const Call call("GetProjectPath", buffer, size);
    // A path that does not fit fills the whole buffer without a terminator.
    if (buffer == nullptr || size <= 0)
        return;
    const std::string& path = hostModel().projectPath;
    const auto n = std::min(path.size(), static_cast<size_t>(size));
    std::memcpy(buffer, path.data(), n);
    if (n < static_cast<size_t>(size))
        buffer[n] = '\0';
}

MediaTrack* modelGetSelectedTrack(ReaProject* project, int index)
{
    const Call call("GetSelectedTrack", project, index);
    for (auto& track : hostModel().tracks)
        if (track->selected && index-- == 0)
            return as<MediaTrack>(track.get());
    return nullptr;
}

void loopTimeRange(bool isSet, bool isLoop, double* start, double* end)
{
    HostModel& model = hostModel();
    double& first = isLoop ? model.loopStart : model.selectionStart;
    double& last = isLoop ? model.loopEnd : model.selectionEnd;
    if (isSet)
    {
        first = *start;
        last = *end;
        return;
    }
    *start = first;
    *end = last;
}

void modelGetSet_LoopTimeRange(bool isSet, bool isLoop, double* start, double* end, bool seek)
{
    const Call call("GetSet_LoopTimeRange", isSet, isLoop, start, end, seek);
    loopTimeRange(isSet, isLoop, start, end);
}

void modelGetSet_LoopTimeRange2(ReaProject* project, bool isSet, bool isLoop, double* start,
                                double* end, bool seek)
{
    const Call call("GetSet_LoopTimeRange2", project, isSet, isLoop, start, end, seek);
    loopTimeRange(isSet, isLoop, start, end);
}

// Reads, or sets when value is given, the property behind key; null for an unknown key.
template <typename T> void* property(T& field, void* value)
{
    if (value != nullptr)
        field = *static_cast<T*>(value);
    return &field;
}

void* modelGetSetMediaItemInfo(MediaItem* item, const char* key, void* value)
{
    const Call call("GetSetMediaItemInfo", item, key, value);
    auto* i = as<HostModel::Item>(item);
    if (i == nullptr || key == nullptr)
        return nullptr;
    if (std::strcmp(key, "D_POSITION") == 0)
        return property(i->position, value);
    if (std::strcmp(key, "D_LENGTH") == 0)
        return property(i->length, value);
    if (std::strcmp(key, "B_LOOPSRC") == 0)
        return property(i->loopSource, value);
    return nullptr;
}

void* modelGetSetMediaItemTakeInfo(MediaItem_Take* take, const char* key, void* value)
{
    const Call call("GetSetMediaItemTakeInfo", take, key, value);
    auto* t = as<HostModel::Take>(take);
    if (t == nullptr || key == nullptr)
        return nullptr;
    if (std::strcmp(key, "P_NAME") == 0)
    {
        if (value != nullptr)
            t->name = static_cast<const char*>(value);
        return const_cast<char*>(t->name.c_str());
    }
    if (std::strcmp(key, "D_STARTOFFS") == 0)
        return property(t->startOffset, value);
    return nullptr;
}

MediaTrack* modelGetTrack(ReaProject* project, int index)
{
    const Call call("GetTrack", project, index);
    auto& tracks = hostModel().tracks;
    if (index < 0 || index >= static_cast<int>(tracks.size()))
        return nullptr;
    return as<MediaTrack>(tracks[static_cast<size_t>(index)].get());
}

int modelInsertMedia(const char* file, int mode)
{
    // Inserting media through the host's own dialog logic is not modelled: nothing is inserted.
    const Call call("InsertMedia", file, mode);
    return 0;
}

void modelMain_OnCommand(int command, int flag)
{
    const Call call("Main_OnCommand", command, flag);
    HostModel& model = hostModel();
    model.commands.emplace_back(command, flag);
    if (model.runAction)
        model.runAction(command);
}

PCM_source* modelPCM_Source_CreateFromFile(const char* path)
{
    const Call call("PCM_Source_CreateFromFile", path);
    HostModel& model = hostModel();
    if (path == nullptr)
        return nullptr;
    double length = -1.0;
    const auto given = model.fileLengths.find(path);
    if (given != model.fileLengths.end())
        length = given->second;
    else if (model.readFileLength)
        length = model.readFileLength(path);
    if (length < 0.0)
        return nullptr;
    model.sources.push_back(std::make_unique<HostModel::Source>(HostModel::Source{path, length}));
    return as<PCM_source>(model.sources.back().get());
}

void modelPCM_Source_Destroy(PCM_source* source)
{
    // Only for a source no take refers to; the host frees it, the model marks it.
    const Call call("PCM_Source_Destroy", source);
    if (source != nullptr)
        as<HostModel::Source>(source)->destroyed = true;
}

void modelPreventUIRefresh(int count)
{
    const Call call("PreventUIRefresh", count);
    hostModel().uiRefreshDepth += count;
}

void modelSetEditCurPos(double time, bool moveView, bool seekPlay)
{
    const Call call("SetEditCurPos", time, moveView, seekPlay);
    hostModel().cursor = time;
}

bool modelSetMediaItemInfo_Value(MediaItem* item, const char* key, double value)
{
    const Call call("SetMediaItemInfo_Value", item, key, value);
    auto* i = as<HostModel::Item>(item);
    if (i == nullptr || key == nullptr)
        return false;
    if (std::strcmp(key, "D_POSITION") == 0)
        i->position = value;
    else if (std::strcmp(key, "D_LENGTH") == 0)
        i->length = value;
    else if (std::strcmp(key, "B_LOOPSRC") == 0)
        i->loopSource = value != 0.0;
    else
        return false;
    return true;
}

bool modelSetMediaItemLength(MediaItem* item, double length, bool refresh)
{
    const Call call("SetMediaItemLength", item, length, refresh);
    if (item == nullptr)
        return false;
    as<HostModel::Item>(item)->length = length;
    return true;
}

bool modelSetMediaItemPosition(MediaItem* item, double position, bool refresh)
{
    const Call call("SetMediaItemPosition", item, position, refresh);
    if (item == nullptr)
        return false;
    as<HostModel::Item>(item)->position = position;
    return true;
}

bool modelSetMediaItemTake_Source(MediaItem_Take* take, PCM_source* source)
{
    const Call call("SetMediaItemTake_Source", take, source);
    if (take == nullptr)
        return false;
    as<HostModel::Take>(take)->source = as<HostModel::Source>(source);
    return true;
}

bool modelSetMediaItemTakeInfo_Value(MediaItem_Take* take, const char* key, double value)
{
    const Call call("SetMediaItemTakeInfo_Value", take, key, value);
    if (take == nullptr || key == nullptr || std::strcmp(key, "D_STARTOFFS") != 0)
        return false;
    as<HostModel::Take>(take)->startOffset = value;
    return true;
}

void modelUndo_BeginBlock2(ReaProject* project)
{
    const Call call("Undo_BeginBlock2", project);
    ++hostModel().undoBlockDepth;
}

void modelUndo_EndBlock2(ReaProject* project, const char* description, int flags)
{
    const Call call("Undo_EndBlock2", project, description, flags);
    HostModel& model = hostModel();
    if (model.undoBlockDepth == 0 || --model.undoBlockDepth > 0)
        return; // an unbalanced end is ignored; an inner block joins the outer one
    const int items = model.itemCount();
    model.undoPoints.push_back(
        {description != nullptr ? description : "", flags, items - model.itemsInLastSnapshot});
    model.itemsInLastSnapshot = items;
}

void modelUpdateArrange()
{
    const Call call("UpdateArrange");
}

void modelUpdateItemInProject(MediaItem* item)
{
    const Call call("UpdateItemInProject", item);
}

#define VANTOREL_MODEL_FUNCTION(name, result, parameters)                                          \
    {#name, reinterpret_cast<void*>(&model##name)},
const std::map<std::string, void*> modelFunctions = {
    VANTOREL_HOST_FUNCTIONS(VANTOREL_MODEL_FUNCTION, VANTOREL_MODEL_FUNCTION)};
#undef VANTOREL_MODEL_FUNCTION
} // namespace

void* hostModelFunction(const char* name)
{
    const auto found = name == nullptr ? modelFunctions.end() : modelFunctions.find(name);
    return found == modelFunctions.end() ? nullptr : found->second;
}
