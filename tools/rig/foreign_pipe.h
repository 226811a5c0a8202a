#pragma once

// An instance of the extension's pipe served by this process, as another program might; closed
// when the returned handle is passed to closeForeignPipe.
void* serveForeignPipeInstance();
void closeForeignPipe(void* instance);
