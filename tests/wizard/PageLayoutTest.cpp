// Every wizard page as the main dialog places it: each control, hidden ones
// included, lies inside the part of the page that the main dialog shows, so no
// control or group box edge is cut at the bottom. Measured in pixels with the
// fonts of the language the CTest entry runs under.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "KODRACFGDlg.h"
#include "WizardTestKit.h"
#include "classlib_testkit.h"
#include "resource.h"

namespace {

using classlib::testkit::Click;
using classlib::testkit::MessageBoxRecorder;

HWND ShownPage(HWND main)
{
    for (HWND child = GetWindow(main, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[16] = {};
        GetClassNameA(child, name, sizeof name);
        if (std::strcmp(name, "#32770") == 0 && IsWindowVisible(child)) return child;
    }
    return nullptr;
}

std::string Describe(int id, const RECT& r)
{
    return "control " + std::to_string(id) + " at (" + std::to_string(r.left) + "," +
           std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

// The shown page's template and its controls that reach outside the visible
// part of the page (its client area, clipped by the main dialog's), in page
// pixels; nothing after the template when all fit.
std::vector<std::string> ControlsOutside(CDialog& main)
{
    HWND page = ShownPage(main.m_hWnd);
    if (!page) return {"no page shown"};
    CDialog* dialog = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(page));
    std::vector<std::string> found{"page " + std::to_string(dialog ? dialog->GetTemplateId() : 0)};

    RECT visible = {}, mainClient = {};
    if (!GetClientRect(page, &visible) || !GetClientRect(main.m_hWnd, &mainClient)) return {"no client area"};
    MapWindowPoints(main.m_hWnd, page, reinterpret_cast<POINT*>(&mainClient), 2);
    IntersectRect(&visible, &visible, &mainClient);

    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r = {}, inside = {};
        if (!GetWindowRect(child, &r)) continue;
        MapWindowPoints(HWND_DESKTOP, page, reinterpret_cast<POINT*>(&r), 2);
        IntersectRect(&inside, &r, &visible);
        if (!EqualRect(&inside, &r)) found.push_back(Describe(GetDlgCtrlID(child), r));
    }
    return found;
}

class WizardPageLayout : public testing::Test {
protected:
    WizardPageLayout() : service_(std::string("W1Layout") + Name()) {}

    static std::string Name() { return testing::UnitTest::GetInstance()->current_test_info()->name(); }

    // Runs the wizard and follows its pages with the given steps, checking the
    // page shown first and after every step.
    void Walk(const std::vector<std::function<void(CDialog&)>>& steps)
    {
        MessageBoxRecorder boxes(IDYES);
        bool walked = false;
        classlib::testkit::ModalDriver driver([&](CDialog& d) {
            if (!dynamic_cast<CKODRACFGDlg*>(&d)) return;
            Expect(d);
            for (const auto& step : steps) {
                step(d);
                Expect(d);
            }
            walked = true;
            Click(d, IDCANCEL);
        });
        CKODRACFGDlg dialog;
        dialog.SetServiceName(service_.c_str());
        dialog.DoModal();
        EXPECT_TRUE(walked);
    }

    void Expect(CDialog& d)
    {
        std::vector<std::string> found = ControlsOutside(d);
        ASSERT_FALSE(found.empty());
        EXPECT_EQ(std::vector<std::string>{found.front()}, found);
    }

    void StoreMode(DWORD mode)
    {
        HKEY key = nullptr;
        std::string path = "SYSTEM\\CurrentControlSet\\Services\\" + service_.Name() + "\\Parameters";
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_LOCAL_MACHINE, path.c_str(), &key));
        EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "InstallationMode", 0, REG_DWORD,
                                                reinterpret_cast<const BYTE*>(&mode), sizeof mode));
        RegCloseKey(key);
    }

    wizardtest::ScopedService service_;
};

void Next(CDialog& d) { ASSERT_TRUE(Click(d, IDC_MAIN_NEXT)); }

void CheckRedundancy(CDialog& d)
{
    HWND page = ShownPage(d.m_hWnd);
    ASSERT_NE(nullptr, page);
    CWnd* wnd = CWnd::FromHandlePermanent(page);
    ASSERT_NE(nullptr, wnd);
    ASSERT_TRUE(Click(*wnd, IDC_ALIVE_REDUNDANCY));
}

TEST_F(WizardPageLayout, ClientPagesShowAllTheirControls)
{
    // mode, address list, alive check, redundancy, batch files
    Walk({Next, Next, [](CDialog& d) {
              CheckRedundancy(d);
              Next(d);
          },
          Next});
}

TEST_F(WizardPageLayout, ServerPagesShowAllTheirControls)
{
    StoreMode(1);
    // mode, address list, lead time
    Walk({Next, Next});
}

}  // namespace
