// The benchmark's baseline: the least a server of this kind can do. One pipe instance in the
// extension's frame format; a reader thread posts each frame to a window's message loop on the
// main thread, which writes it straight back.
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>
#include <windows.h>

namespace
{
constexpr UINT frameMessage = WM_APP + 1;
HANDLE pipe = INVALID_HANDLE_VALUE;

// One overlapped transfer waited for in full; false when the peer has gone.
bool transfer(bool reading, void* data, DWORD size)
{
    DWORD done = 0;
    while (size > 0)
    {
        OVERLAPPED over{};
        over.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        const BOOL ok = reading ? ReadFile(pipe, data, size, nullptr, &over)
                                : WriteFile(pipe, data, size, nullptr, &over);
        const bool pending = !ok && GetLastError() == ERROR_IO_PENDING;
        const bool finished = (ok || pending) && GetOverlappedResult(pipe, &over, &done, TRUE);
        CloseHandle(over.hEvent);
        if (!finished || done == 0)
            return false;
        data = static_cast<char*>(data) + done;
        size -= done;
    }
    return true;
}

void readFrames(HWND window)
{
    for (;;)
    {
        OVERLAPPED over{};
        over.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (!ConnectNamedPipe(pipe, &over) && GetLastError() == ERROR_IO_PENDING)
            WaitForSingleObject(over.hEvent, INFINITE);
        CloseHandle(over.hEvent);

        for (;;)
        {
            unsigned int header[2];
            if (!transfer(true, header, sizeof header))
                break;
            auto* frame = new std::vector<char>(8 + header[1]);
            std::memcpy(frame->data(), header, 8);
            if (header[1] > 0 && !transfer(true, frame->data() + 8, header[1]))
            {
                delete frame;
                break;
            }
            PostMessageW(window, frameMessage, 0, reinterpret_cast<LPARAM>(frame));
        }
        DisconnectNamedPipe(pipe);
    }
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM w, LPARAM l)
{
    if (message == frameMessage)
    {
        auto* frame = reinterpret_cast<std::vector<char>*>(l);
        transfer(false, frame->data(), static_cast<DWORD>(frame->size()));
        delete frame;
        return 0;
    }
    return DefWindowProcW(window, message, w, l);
}
} // namespace

int main(int argc, char** argv)
{
    std::wstring name = L"\\\\.\\pipe\\vantorel_echo";
    std::string stopFile;
    for (int i = 1; i + 1 < argc; i += 2)
        if (std::strcmp(argv[i], "--stop-file") == 0)
            stopFile = argv[i + 1];

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.lpszClassName = L"VantorelEchoServer";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                nullptr, nullptr, nullptr);

    pipe = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED, 0,
                            PIPE_UNLIMITED_INSTANCES, 4096, 4096, 0, nullptr);
    if (window == nullptr || pipe == INVALID_HANDLE_VALUE)
    {
        std::fprintf(stderr, "echo_server: cannot create the window or the pipe\n");
        return 1;
    }
    std::thread(readFrames, window).detach();
    std::printf("ready\n");
    std::fflush(stdout);

    for (;;)
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        if (!stopFile.empty() && GetFileAttributesA(stopFile.c_str()) != INVALID_FILE_ATTRIBUTES)
            break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    CloseHandle(pipe);
    return 0;
}
