#pragma once

#include "reaper_host_interface.h"

// The host API table: one slot per host function, bound by name at load and never cleared.
#define VANTOREL_HOST_FUNCTION_SLOT(name, result, parameters) extern name##Fn name;
VANTOREL_HOST_FUNCTIONS(VANTOREL_HOST_FUNCTION_SLOT, VANTOREL_HOST_FUNCTION_SLOT)
#undef VANTOREL_HOST_FUNCTION_SLOT

using HostGetFunc = void* (*)(const char* name);

struct HostApiSlot
{
    void* slot; // the address of one of the function pointers above
    const char* name;
};

// The functions the extension requires, in alphabetical order, closed by an entry whose slot is
// null.
extern const HostApiSlot hostApiLoaderTable[];

// Binds every slot of the loader table and returns how many names the host did not know.
int REAPERAPI_LoadAPI(HostGetFunc getFunc);

// The names in the order the extension checks them, closed by a null.
extern const char* const hostApiCheckOrder[];

// Binds the names again one at a time in the order the extension checks them; false at the first
// name the host does not know.
bool bindHostApiInCheckOrder(HostGetFunc getFunc);

// The functions the extension uses only when the host has them, in alphabetical order, closed by
// an entry whose slot is null. They play no part in deciding whether the extension loads.
extern const HostApiSlot hostApiOptionalTable[];

// Binds each optional function, or null where the host lacks it.
void bindOptionalHostApi(HostGetFunc getFunc);
