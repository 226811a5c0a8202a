#pragma once

#include <juce_core/juce_core.h>

// Text from UTF-8 bytes that come from outside (the peer, the host), up to the first NUL or
// maxBytes. Each byte that does not start a well-formed sequence (overlong forms, surrogates and
// values past U+10FFFF included) becomes U+FFFD: JUCE's own conversion overruns its buffer on
// such input.
juce::String decodeUtf8(const char* bytes, size_t maxBytes);
