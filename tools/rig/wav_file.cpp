#include "wav_file.h"

#include <cmath>

void writeWav(const juce::File& file, double seconds, int sampleRate)
{
    const auto samples = static_cast<juce::uint32>(seconds * sampleRate);
    juce::MemoryOutputStream out;
    out.write("RIFF", 4);
    out.writeInt(static_cast<int>(36 + samples * 2));
    out.write("WAVEfmt ", 8);
    out.writeInt(16);
    out.writeShort(1); // PCM
    out.writeShort(1); // mono
    out.writeInt(sampleRate);
    out.writeInt(sampleRate * 2);
    out.writeShort(2);
    out.writeShort(16);
    out.write("data", 4);
    out.writeInt(static_cast<int>(samples * 2));
    for (juce::uint32 i = 0; i < samples; ++i)
        out.writeShort(static_cast<short>(8000.0 * std::sin(i * 0.0785)));
    file.getParentDirectory().createDirectory();
    file.replaceWithData(out.getData(), out.getDataSize());
}
