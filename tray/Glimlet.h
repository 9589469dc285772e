// One icon in the notification area. All icons of the process share one hidden
// message window, which turns their mouse messages into calls of the owner's
// callback and adds the visible icons again when the shell restarts.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <map>
#include <memory>
#include <string>

#include "ZLock.h"

class CGlimlet {
public:
    typedef int (*Callback)(CGlimlet* icon, UINT mouseMessage);

    static const UINT CallbackMessage = WM_USER + 100;
    static const size_t MaxTooltip = 127;

    CGlimlet();
    virtual ~CGlimlet();
    CGlimlet(const CGlimlet&) = delete;
    CGlimlet& operator=(const CGlimlet&) = delete;

    virtual void SetTooltip(const std::string& text);
    virtual bool Show(bool visible);
    // The previous icon is destroyed only when asked: pass own copies only.
    virtual void SetIcon(HICON icon, bool destroyPrevious);
    virtual int OnNotify(UINT mouseMessage);

    bool ShowBalloon(const char* title, const char* text, DWORD infoFlags);
    void ReAdd();
    HICON GetIconOrDefault() const;
    void FillIconData(NOTIFYICONDATAA& data) const;

    UINT Id() const { return id_; }
    const std::string& Tooltip() const { return tooltip_; }
    bool IsVisible() const { return visible_; }
    HICON Icon() const { return icon_; }

    // Set by the owner. Guard, when set, is held while the message window adds the
    // icon again, so that it never reads icon and tooltip while another thread of
    // the owner changes them.
    Callback OnMouse = nullptr;
    zwin::CZLock* Guard = nullptr;

private:
    bool AddIcon();
    bool DeleteIcon();

    static UINT NextId;

    UINT id_;
    std::string tooltip_;
    bool visible_ = false;
    HICON icon_ = nullptr;
};

// The existing icons by id, in ascending order; the map exists only while at
// least one icon does.
class IconRegistry {
public:
    typedef std::map<UINT, CGlimlet*> Map;

    void Enter(CGlimlet* icon);
    void Leave(UINT id);
    CGlimlet* Find(UINT id) const;
    Map::const_iterator Begin() const;
    Map::const_iterator End() const;

private:
    std::unique_ptr<Map> map_;
    static const Map empty_;
};

IconRegistry& GetIconRegistry();
HWND GetMessageWindow();
extern const UINT TaskbarCreatedMessage;
