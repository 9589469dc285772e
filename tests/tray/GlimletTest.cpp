// The notification-area icon class against the real notification area.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "Glimlet.h"
#include "ZLock.h"

namespace {

HWND MessageWindow()
{
    return FindWindowA("GLIMLET_MESSAGE_PROCESSOR_WND_CLASS", "GLIMLET_MESSAGE_PROCESSOR_WND");
}

HICON OwnIcon() { return CopyIcon(LoadIconA(nullptr, IDI_INFORMATION)); }

bool IconAlive(HICON icon)
{
    ICONINFO info;
    if (!GetIconInfo(icon, &info)) return false;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return true;
}

class CountingLock : public zwin::CZLock {
public:
    bool Lock(DWORD) override { ++locks; return true; }
    void Unlock() override { ++unlocks; }
    bool IsValid() override { return true; }
    int locks = 0;
    int unlocks = 0;
};

CGlimlet* lastIcon = nullptr;
UINT lastMessage = 0;

int RememberMouse(CGlimlet* icon, UINT message)
{
    lastIcon = icon;
    lastMessage = message;
    return 7;
}

TEST(GlimletTest, IconDataLetsTheShellShowTheWholeTooltip)
{
    CGlimlet icon;
    std::string tip(200, 'x');
    icon.SetTooltip(tip);
    ASSERT_TRUE(icon.Show(true));
    EXPECT_EQ(icon.Tooltip(), tip);
    NOTIFYICONDATAA data;
    icon.FillIconData(data);
    EXPECT_EQ(data.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V2_SIZE));
    EXPECT_GE(data.cbSize, offsetof(NOTIFYICONDATAA, szTip) + sizeof data.szTip);
    EXPECT_EQ(data.uID, icon.Id());
    EXPECT_EQ(data.hWnd, MessageWindow());
    EXPECT_TRUE(icon.Show(false));
}

TEST(GlimletTest, ShowChangesOnlyOnAChangeOfState)
{
    CGlimlet icon;
    EXPECT_FALSE(icon.IsVisible());
    EXPECT_TRUE(icon.Show(false));
    EXPECT_TRUE(icon.Show(true));
    EXPECT_TRUE(icon.IsVisible());
    EXPECT_TRUE(icon.Show(true));
    EXPECT_TRUE(icon.Show(false));
    EXPECT_FALSE(icon.IsVisible());
    EXPECT_FALSE(icon.ShowBalloon("title", "text", NIIF_INFO));
}

TEST(GlimletTest, OnlyAReplacedIconIsDestroyedAndOnlyWhenAsked)
{
    CGlimlet icon;
    ASSERT_TRUE(icon.Show(true));
    HICON first = OwnIcon();
    icon.SetIcon(first, true);
    icon.SetIcon(first, true);
    EXPECT_TRUE(IconAlive(first));
    HICON second = OwnIcon();
    icon.SetIcon(second, false);
    EXPECT_TRUE(IconAlive(first));
    icon.SetIcon(first, true);
    EXPECT_FALSE(IconAlive(second));
    EXPECT_EQ(icon.Icon(), first);
    EXPECT_EQ(icon.GetIconOrDefault(), first);
    icon.SetIcon(nullptr, true);
    EXPECT_FALSE(IconAlive(first));
    EXPECT_EQ(icon.GetIconOrDefault(), LoadIconA(nullptr, IDI_APPLICATION));
}

TEST(GlimletTest, MouseMessagesReachTheCallbackOfTheirIcon)
{
    CGlimlet icon;
    ASSERT_TRUE(icon.Show(true));
    EXPECT_EQ(SendMessageA(MessageWindow(), CGlimlet::CallbackMessage, icon.Id(), WM_RBUTTONUP), 0);
    icon.OnMouse = RememberMouse;
    lastIcon = nullptr;
    EXPECT_EQ(SendMessageA(MessageWindow(), CGlimlet::CallbackMessage, icon.Id() + 1000, WM_RBUTTONUP), 0);
    EXPECT_EQ(lastIcon, nullptr);
    EXPECT_EQ(SendMessageA(MessageWindow(), CGlimlet::CallbackMessage, icon.Id(), WM_LBUTTONDBLCLK), 0);
    EXPECT_EQ(lastIcon, &icon);
    EXPECT_EQ(lastMessage, static_cast<UINT>(WM_LBUTTONDBLCLK));
    EXPECT_EQ(icon.OnNotify(WM_RBUTTONUP), 7);
}

TEST(GlimletTest, AShellRestartAddsOnlyVisibleIconsAgainUnderTheirGuard)
{
    CGlimlet shown, hidden;
    CountingLock shownGuard, hiddenGuard;
    shown.Guard = &shownGuard;
    hidden.Guard = &hiddenGuard;
    ASSERT_TRUE(shown.Show(true));
    SendMessageA(MessageWindow(), TaskbarCreatedMessage, 0, 0);
    EXPECT_TRUE(shown.IsVisible());
    EXPECT_FALSE(hidden.IsVisible());
    EXPECT_EQ(shownGuard.locks, 1);
    EXPECT_EQ(shownGuard.unlocks, 1);
    EXPECT_EQ(hiddenGuard.locks, 0);
}

TEST(GlimletTest, TheRegistryKnowsTheLivingIconsById)
{
    IconRegistry& registry = GetIconRegistry();
    EXPECT_TRUE(registry.Begin() == registry.End());
    UINT goneId;
    {
        CGlimlet a, b;
        EXPECT_LT(a.Id(), b.Id());
        EXPECT_EQ(registry.Find(a.Id()), &a);
        EXPECT_EQ(registry.Find(b.Id()), &b);
        EXPECT_EQ(registry.Begin()->second, &a);
        goneId = b.Id();
    }
    EXPECT_EQ(registry.Find(goneId), nullptr);
    EXPECT_TRUE(registry.Begin() == registry.End());
    CGlimlet c;
    EXPECT_GT(c.Id(), goneId);
}

}  // namespace
