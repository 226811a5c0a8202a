#include "host_model.h"

HostModel& hostModel()
{
    static HostModel model;
    return model;
}

void resetHostModel()
{
    hostModel() = HostModel();
}

HostModel::Track& HostModel::addTrack(bool selected)
{
    tracks.push_back(std::make_unique<Track>());
    tracks.back()->selected = selected;
    return *tracks.back();
}

std::vector<std::string> HostModel::callNames() const
{
    std::vector<std::string> names;
    for (auto& call : calls)
        names.push_back(call.substr(0, call.find('(')));
    return names;
}

int HostModel::itemCount() const
{
    int items = 0;
    for (auto& track : tracks)
        items += static_cast<int>(track->items.size());
    return items;
}

int HostModel::unattachedSourceCount() const
{
    int attached = 0;
    for (auto& track : tracks)
        for (auto& item : track->items)
            for (auto& take : item->takes)
                attached += take->source != nullptr ? 1 : 0;
    return static_cast<int>(sources.size()) - attached - destroyedSourceCount();
}

int HostModel::destroyedSourceCount() const
{
    int destroyed = 0;
    for (auto& source : sources)
        destroyed += source->destroyed ? 1 : 0;
    return destroyed;
}
