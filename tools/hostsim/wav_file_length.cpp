#include "wav_file_length.h"

#include <juce_core/juce_core.h>

double wavFileLength(const std::string& utf8Path)
{
    const juce::File file = juce::File::getCurrentWorkingDirectory().getChildFile(
        juce::String::fromUTF8(utf8Path.c_str()));
    juce::FileInputStream in(file);
    if (!in.openedOk())
        return -1.0;

    char id[4];
    if (in.read(id, 4) != 4 || std::memcmp(id, "RIFF", 4) != 0)
        return -1.0;
    in.readInt();
    if (in.read(id, 4) != 4 || std::memcmp(id, "WAVE", 4) != 0)
        return -1.0;

    juce::uint32 bytesPerSecond = 0;
    while (!in.isExhausted())
    {
        if (in.read(id, 4) != 4)
            break;
        const auto size = static_cast<juce::uint32>(in.readInt());
        const juce::int64 next = in.getPosition() + size + (size & 1);
        if (std::memcmp(id, "fmt ", 4) == 0 && size >= 16)
        {
            in.skipNextBytes(8);
            bytesPerSecond = static_cast<juce::uint32>(in.readInt());
        }
        else if (std::memcmp(id, "data", 4) == 0)
            return bytesPerSecond == 0 ? -1.0 : static_cast<double>(size) / bytesPerSecond;
        in.setPosition(next);
    }
    return -1.0;
}
