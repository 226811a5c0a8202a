#pragma once

#include "reaper_host_interface.h"

#include <juce_core/juce_core.h>

#include <vector>

using EntryFn = int (*)(HINSTANCE, reaper_plugin_info_t*);

// An extension module loaded into this process, with its entry point.
struct Extension
{
    void* module = nullptr;
    EntryFn entry = nullptr;
};

// The extensions loaded, in the order their entries are called, or why none could be.
struct LoadedExtensions
{
    std::vector<Extension> extensions;
    juce::String error;
};

// The one module given, which must load and export ReaperPluginEntry.
LoadedExtensions loadExtension(const juce::File& dll);

// As the host loads extensions at start: every UserPlugins/reaper_*.dll of the resource path
// (the name compared without case), in the order of their names. A module that cannot be loaded
// because it is built for another architecture, or that exports no entry, is skipped silently.
LoadedExtensions loadResourcePathExtensions(const juce::File& resourcePath);

// Unloads the modules, as the host does at exit.
void freeExtensions(const std::vector<Extension>& extensions);
