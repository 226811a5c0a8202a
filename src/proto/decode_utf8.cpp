#include "decode_utf8.h"

#include <string>

namespace
{
// The length of the well-formed sequence at text[0..available), or 0 if there is none.
size_t sequenceLength(const unsigned char* text, size_t available)
{
    const unsigned char lead = text[0];
    if (lead < 0x80)
        return 1;

    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // the allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
    {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // no overlong forms
        else if (lead == 0xED)
            high = 0x9F; // no surrogates
    }
    else if (lead >= 0xF0 && lead <= 0xF4)
    {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F; // nothing past U+10FFFF
    }
    else
        return 0;

    if (length > available || text[1] < low || text[1] > high)
        return 0;
    for (size_t i = 2; i < length; ++i)
        if ((text[i] & 0xC0) != 0x80)
            return 0;
    return length;
}
} // namespace

juce::String decodeUtf8(const char* bytes, size_t maxBytes)
{
    const auto* text = reinterpret_cast<const unsigned char*>(bytes);
    size_t end = 0;
    while (end < maxBytes && text[end] != 0)
        ++end;

    std::string clean;
    bool wellFormed = true;
    for (size_t i = 0; i < end;)
    {
        const size_t length = sequenceLength(text + i, end - i);
        if (length == 0)
        {
            if (wellFormed)
                clean.assign(bytes, i);
            wellFormed = false;
            clean += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        if (!wellFormed)
            clean.append(bytes + i, length);
        i += length;
    }
    return wellFormed ? juce::String::fromUTF8(bytes, static_cast<int>(end))
                      : juce::String::fromUTF8(clean.data(), static_cast<int>(clean.size()));
}
