#include "host_api.h"
#include "message_box.h"
#include "reaper_bridge.h"

namespace
{
void showIncompatibleMessage()
{
    showNativeMessageBox(
        juce::translate("Incompatible"),
        juce::translate("The version of the Vantorel extension you have installed is incompatible "
                        "with your version of REAPER. You probably have a REAPER version less than "
                        "v5 installed.\r\nPlease install the latest version of REAPER from "
                        "https://www.reaper.fm."));
}
} // namespace

extern "C" __declspec(dllexport) int ReaperPluginEntry(HINSTANCE, reaper_plugin_info_t* rec)
{
    if (rec == nullptr)
    {
        ReaperBridge::deleteInstance();
        return 0;
    }
    if (rec->caller_version != REAPER_PLUGIN_VERSION)
        return 0;
    if (rec->GetFunc == nullptr)
        return 0;

    if (REAPERAPI_LoadAPI(rec->GetFunc) != 0 || !bindHostApiInCheckOrder(rec->GetFunc))
    {
        showIncompatibleMessage();
        return 0;
    }
    bindOptionalHostApi(rec->GetFunc);

    ReaperBridge::getInstance();
    return 1;
}
