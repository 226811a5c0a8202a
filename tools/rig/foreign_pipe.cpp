#include "foreign_pipe.h"

#include "pipe_client.h"

#include <windows.h>

void* serveForeignPipeInstance()
{
    HANDLE h = CreateNamedPipeW(extensionPipePath().toWideCharPointer(),
                                PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED, 0,
                                PIPE_UNLIMITED_INSTANCES, 4096, 4096, 0, nullptr);
    return h == INVALID_HANDLE_VALUE ? nullptr : h;
}

void closeForeignPipe(void* instance)
{
    if (instance != nullptr)
        CloseHandle(static_cast<HANDLE>(instance));
}
