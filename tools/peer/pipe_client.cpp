#include "pipe_client.h"

#include "pipe_name.h"

#include <windows.h>

namespace
{
HANDLE native(const PipeClient& client)
{
    return static_cast<HANDLE>(client.handle);
}

// Runs one overlapped read or write and waits for it up to timeoutMs; -1 on failure or time-out.
template <typename Start> long transfer(PipeClient& client, int timeoutMs, Start start)
{
    OVERLAPPED over{};
    over.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD done = 0;
    long result = -1;
    if (start(&over, &done))
        result = static_cast<long>(done);
    else if (GetLastError() == ERROR_IO_PENDING)
    {
        if (WaitForSingleObject(over.hEvent, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0)
        {
            CancelIo(native(client));
            // A cancelled transfer must finish before its OVERLAPPED goes away; if it does not,
            // the handle is closed and this client is done.
            if (WaitForSingleObject(over.hEvent, 2000) != WAIT_OBJECT_0)
            {
                client.lastError = WAIT_TIMEOUT;
                closePipe(client);
                WaitForSingleObject(over.hEvent, 2000);
                CloseHandle(over.hEvent);
                return -1;
            }
        }
        if (GetOverlappedResult(native(client), &over, &done, FALSE))
            result = static_cast<long>(done);
        else
            client.lastError = GetLastError();
    }
    else
        client.lastError = GetLastError();
    CloseHandle(over.hEvent);
    return result;
}
} // namespace

PipeClient::~PipeClient()
{
    closePipe(*this);
}

juce::String extensionPipePath()
{
    return juce::String("\\\\.\\pipe\\") + pipeName;
}

bool openPipe(PipeClient& client, int timeoutMs, const juce::String& path)
{
    const wchar_t* name = path.toWideCharPointer();
    closePipe(client);
    const juce::uint32 end =
        juce::Time::getMillisecondCounter() + static_cast<juce::uint32>(timeoutMs);
    for (;;)
    {
        HANDLE h = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_FLAG_OVERLAPPED, nullptr);
        if (h != INVALID_HANDLE_VALUE)
        {
            client.handle = h;
            return true;
        }
        client.lastError = GetLastError();
        const auto now = juce::Time::getMillisecondCounter();
        if (client.lastError != ERROR_PIPE_BUSY || now >= end)
            return false;
        WaitNamedPipeW(name, juce::jmin<DWORD>(end - now, 100));
    }
}

void closePipe(PipeClient& client)
{
    if (client.handle != nullptr)
    {
        CloseHandle(native(client));
        client.handle = nullptr;
    }
}

bool writeBytes(PipeClient& client, const void* data, size_t size, int timeoutMs)
{
    if (client.handle == nullptr)
        return false;
    return transfer(client, timeoutMs,
                    [&](OVERLAPPED* over, DWORD* done) {
                        return WriteFile(native(client), data, static_cast<DWORD>(size), done,
                                         over) != 0;
                    }) == static_cast<long>(size);
}

bool readBytes(PipeClient& client, void* data, size_t size, int timeoutMs)
{
    if (client.handle == nullptr)
        return false;
    const juce::uint32 end =
        juce::Time::getMillisecondCounter() + static_cast<juce::uint32>(timeoutMs);
    size_t got = 0;
    while (got < size)
    {
        const auto now = juce::Time::getMillisecondCounter();
        if (now >= end)
            return false;
        const long n =
            transfer(client, static_cast<int>(end - now),
                     [&](OVERLAPPED* over, DWORD* done)
                     {
                         return ReadFile(native(client), static_cast<char*>(data) + got,
                                         static_cast<DWORD>(size - got), done, over) != 0;
                     });
        if (n <= 0)
            return false;
        got += static_cast<size_t>(n);
    }
    return true;
}

bool nothingArrivesWithin(PipeClient& client, int ms)
{
    char oneByte;
    return !readBytes(client, &oneByte, 1, ms);
}

juce::MemoryBlock frameHeader(juce::uint32 magic, juce::int32 length)
{
    juce::MemoryBlock header(8);
    const juce::uint32 words[2] = {
        juce::ByteOrder::swapIfBigEndian(magic),
        juce::ByteOrder::swapIfBigEndian(static_cast<juce::uint32>(length))};
    header.copyFrom(words, 0, 8);
    return header;
}

juce::MemoryBlock frame(const juce::MemoryBlock& payload)
{
    juce::MemoryBlock bytes = frameHeader(frameMagic, static_cast<juce::int32>(payload.getSize()));
    bytes.append(payload.getData(), payload.getSize());
    return bytes;
}

std::optional<juce::MemoryBlock> readFrame(PipeClient& client, int timeoutMs)
{
    juce::uint32 header[2];
    if (!readBytes(client, header, sizeof header, timeoutMs))
        return std::nullopt;
    const auto magic = juce::ByteOrder::swapIfBigEndian(header[0]);
    const auto length = static_cast<juce::int32>(juce::ByteOrder::swapIfBigEndian(header[1]));
    if (magic != frameMagic || length < 0)
        return std::nullopt;
    juce::MemoryBlock payload(static_cast<size_t>(length));
    if (length > 0 && !readBytes(client, payload.getData(), payload.getSize(), timeoutMs))
        return std::nullopt;
    return payload;
}

std::optional<juce::MemoryBlock> request(PipeClient& client, const juce::MemoryBlock& payload,
                                         int timeoutMs)
{
    const juce::MemoryBlock bytes = frame(payload);
    if (!writeBytes(client, bytes.getData(), bytes.getSize(), timeoutMs))
        return std::nullopt;
    return readFrame(client, timeoutMs);
}
