#include "extensions.h"

#include <cstdio>
#include <windows.h>

namespace
{
EntryFn entryOf(HMODULE module)
{
    return reinterpret_cast<EntryFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "ReaperPluginEntry")));
}
} // namespace

LoadedExtensions loadExtension(const juce::File& dll)
{
    HMODULE module = LoadLibraryW(dll.getFullPathName().toWideCharPointer());
    if (module == nullptr)
        return {{},
                "cannot load " + dll.getFullPathName() + " (error " +
                    juce::String(static_cast<int>(GetLastError())) + ")"};
    const EntryFn entry = entryOf(module);
    if (entry == nullptr)
        return {{}, dll.getFullPathName() + " exports no ReaperPluginEntry"};
    return {{{module, entry}}, {}};
}

LoadedExtensions loadResourcePathExtensions(const juce::File& resourcePath)
{
    juce::Array<juce::File> found;
    for (const auto& file : resourcePath.getChildFile("UserPlugins")
                                .findChildFiles(juce::File::findFiles, false, "*.dll"))
    {
        const juce::String name = file.getFileName().toLowerCase();
        if (name.startsWith("reaper_") && name.endsWith(".dll"))
            found.add(file);
    }
    found.sort();

    LoadedExtensions loaded;
    for (const auto& file : found)
    {
        HMODULE module = LoadLibraryW(file.getFullPathName().toWideCharPointer());
        if (module == nullptr)
        {
            if (GetLastError() != ERROR_BAD_EXE_FORMAT)
                std::fprintf(stderr, "hostsim: cannot load %s (error %lu)\n",
                             file.getFullPathName().toRawUTF8(), GetLastError());
            continue;
        }
        if (const EntryFn entry = entryOf(module))
            loaded.extensions.push_back({module, entry});
        else
            FreeLibrary(module);
    }
    return loaded;
}

void freeExtensions(const std::vector<Extension>& extensions)
{
    for (auto it = extensions.rbegin(); it != extensions.rend(); ++it)
        FreeLibrary(static_cast<HMODULE>(it->module));
}
