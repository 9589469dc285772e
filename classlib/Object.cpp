#include "Object.h"

#include "MessageMap.h"

bool classlib::RuntimeClass::IsDerivedFrom(const RuntimeClass& other) const
{
    for (const RuntimeClass* c = this; c; c = c->base) {
        if (c == &other)
            return true;
    }
    return false;
}

const classlib::RuntimeClass& CObject::StaticClass()
{
    static const classlib::RuntimeClass info{"CObject", nullptr};
    return info;
}

const classlib::MessageMap* CCmdTarget::GetMessageMap() const
{
    static const classlib::MessageMap map(nullptr, {});
    return &map;
}

namespace {

// A tooltip's text request for a window tool names the window in idFrom: the
// map sees that window's control id.
UINT NotifyControlId(const NMHDR& header)
{
    UINT flags = 0;
    if (header.code == TTN_NEEDTEXTA)
        flags = reinterpret_cast<const NMTTDISPINFOA&>(header).uFlags;
    else if (header.code == TTN_NEEDTEXTW)
        flags = reinterpret_cast<const NMTTDISPINFOW&>(header).uFlags;
    if (flags & TTF_IDISHWND)
        return static_cast<UINT>(GetDlgCtrlID(reinterpret_cast<HWND>(header.idFrom)));
    return static_cast<UINT>(header.idFrom);
}

}  // namespace

bool CCmdTarget::DispatchToMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    UINT notifyId = 0;
    if (message == WM_NOTIFY) {
        if (!lParam)
            return false;
        notifyId = NotifyControlId(*reinterpret_cast<const NMHDR*>(lParam));
    }
    for (const classlib::MessageMap* map = GetMessageMap(); map; map = map->Base()) {
        for (const classlib::MessageMapEntry& entry : map->Entries()) {
            if (entry.message != message)
                continue;
            WPARAM w = wParam;
            if (message == WM_COMMAND) {
                UINT id = LOWORD(wParam);
                if (entry.code != HIWORD(wParam) || id < entry.firstId || id > entry.lastId)
                    continue;
            } else if (message == WM_NOTIFY) {
                const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
                if (entry.code != header->code || notifyId < entry.firstId || notifyId > entry.lastId)
                    continue;
                w = notifyId;
            }
            // The handler may delete this object: nothing here touches it after.
            if (entry.call(*this, w, lParam, result))
                return true;
        }
    }
    return false;
}
