#pragma once

#include <juce_core/juce_core.h>

#include <optional>
#include <string>

// A peer's end of the extension's pipe: raw bytes, frames and time-outs, for the command-line
// peer and the end-to-end tests.
struct PipeClient
{
    void* handle = nullptr; // a Windows HANDLE; null while not connected
    unsigned long lastError = 0;

    PipeClient() = default;
    PipeClient(const PipeClient&) = delete;
    PipeClient& operator=(const PipeClient&) = delete;
    ~PipeClient();
};

// The full path of the extension's pipe.
juce::String extensionPipePath();
constexpr juce::uint32 frameMagic = 0xf2b49e2c;

// Opens the pipe, waiting up to timeoutMs while it is busy. False with lastError set otherwise.
bool openPipe(PipeClient& client, int timeoutMs, const juce::String& path = extensionPipePath());
void closePipe(PipeClient& client);

// Writes all bytes in one write; false when it fails or does not complete within timeoutMs.
bool writeBytes(PipeClient& client, const void* data, size_t size, int timeoutMs = 5000);

// Reads exactly size bytes; false on a failure or when they do not all come within timeoutMs.
bool readBytes(PipeClient& client, void* data, size_t size, int timeoutMs);

// True when no byte arrives within ms (the pipe stays open).
bool nothingArrivesWithin(PipeClient& client, int ms);

juce::MemoryBlock frame(const juce::MemoryBlock& payload);
juce::MemoryBlock frameHeader(juce::uint32 magic, juce::int32 length);

// Reads one frame and returns its payload; nothing on a failure, time-out or wrong magic.
std::optional<juce::MemoryBlock> readFrame(PipeClient& client, int timeoutMs);

// Sends one request frame and reads the reply frame.
std::optional<juce::MemoryBlock> request(PipeClient& client, const juce::MemoryBlock& payload,
                                         int timeoutMs);
