#include "accessibility.hpp"

#include "wide_text.hpp"

// The GUIDs of the annotation service are defined here, once.
#include <initguid.h>

#include <oleacc.h>

#include <vector>

namespace pelmora::win32 {

namespace {

struct annotation_service {
    IAccPropServices *service = nullptr;
    std::vector<HWND> annotated;

    annotation_service()
    {
        if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IAccPropServices, reinterpret_cast<void **>(&service))))
            service = nullptr;
    }
};

annotation_service &annotations()
{
    static annotation_service one;
    return one;
}

bool set_property(IAccPropServices *service, HWND control, const MSAAPROPID &property,
                  std::u16string_view text)
{
    const std::wstring value = wide(text);
    return SUCCEEDED(service->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT),
                                             CHILDID_SELF, property, value.c_str()));
}

} // namespace

bool set_accessible_text(HWND control, std::u16string_view name, std::u16string_view description)
{
    annotation_service &a = annotations();
    if (!a.service || !control)
        return false;
    const bool named = set_property(a.service, control, PROPID_ACC_NAME, name);
    if (!description.empty())
        set_property(a.service, control, PROPID_ACC_DESCRIPTION, description);
    a.annotated.push_back(control);
    return named;
}

void clear_accessible_texts()
{
    annotation_service &a = annotations();
    if (!a.service)
        return;
    MSAAPROPID properties[] = {PROPID_ACC_NAME, PROPID_ACC_DESCRIPTION};
    for (HWND control : a.annotated)
        a.service->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                  properties, 2);
    a.annotated.clear();
    // Released here, while COM is still up, rather than at the program's exit.
    a.service->Release();
    a.service = nullptr;
}

} // namespace pelmora::win32
