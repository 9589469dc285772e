// The service module against Wine's service manager and a real service.
#include <gtest/gtest.h>

#include <string>

#include "SvcLib.h"
#include "TestServices.h"
#include "testlib.h"

namespace {

class SvcLib : public ::testing::Test {
protected:
    void SetUp() override
    {
        name = "KodraSvcLibTest" + std::to_string(GetCurrentProcessId());
        testlib::RemoveService(name);
        image = "\"" + testlib::DoublesDir() + "\\kodra_double.exe\" -service -name " + name;
        ASSERT_EQ(SvcLibCreate(name.c_str(), "", image.c_str()), 1);
    }
    void TearDown() override
    {
        if (service) SvcLibClose(service);
        testlib::RemoveService(name);
    }
    DWORD State()
    {
        SERVICE_STATUS status = {};
        return SvcLibQueryStatus(service, &status) ? status.dwCurrentState : 0;
    }

    std::string name, image;
    SC_HANDLE service = nullptr;
};

TEST_F(SvcLib, CreateGivesTheServiceNameAsDisplayName)
{
    SC_HANDLE m = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    ASSERT_NE(m, nullptr);
    char display[256];
    DWORD size = sizeof display;
    ASSERT_TRUE(GetServiceDisplayNameA(m, name.c_str(), display, &size));
    EXPECT_EQ(std::string(display), name);
    CloseServiceHandle(m);
    EXPECT_EQ(SvcLibCreate(name.c_str(), "", image.c_str()), 0) << "exists already";
}

TEST_F(SvcLib, OneServiceOpenAtATime)
{
    service = SvcLibOpen(nullptr, name.c_str(), GENERIC_READ);
    ASSERT_NE(service, nullptr);
    EXPECT_EQ(SvcLibOpen(nullptr, name.c_str(), GENERIC_READ), nullptr);
    EXPECT_EQ(SvcLibOpenAll(nullptr, name.c_str()), nullptr);
    EXPECT_EQ(SvcLibClose(nullptr), 0);
    EXPECT_EQ(SvcLibOpen(nullptr, name.c_str(), GENERIC_READ), nullptr) << "still open";
    EXPECT_EQ(State(), DWORD(SERVICE_STOPPED));

    SC_HANDLE old = service;
    EXPECT_EQ(SvcLibClose(service), 1);
    service = nullptr;
    SERVICE_STATUS status;
    EXPECT_EQ(SvcLibQueryStatus(old, &status), 0);
    EXPECT_EQ(SvcLibClose(old), 0);
    service = SvcLibOpen(nullptr, name.c_str(), GENERIC_READ);
    EXPECT_NE(service, nullptr);
}

TEST_F(SvcLib, AMissingOrTooLongNameLeavesTheSlotClosed)
{
    EXPECT_EQ(SvcLibOpen(nullptr, "KodraNoSuchService", GENERIC_READ), nullptr);
    EXPECT_EQ(SvcLibOpen(nullptr, std::string(128, 'k').c_str(), GENERIC_READ), nullptr);
    EXPECT_EQ(SvcLibOpen(nullptr, nullptr, GENERIC_READ), nullptr);
    service = SvcLibOpen(nullptr, name.c_str(), GENERIC_READ);
    EXPECT_NE(service, nullptr) << "the failed opens kept nothing";
    SERVICE_STATUS status;
    EXPECT_EQ(SvcLibQueryStatus(nullptr, &status), 0);
    EXPECT_EQ(SvcLibStart(nullptr, 0, nullptr), 0);
    EXPECT_EQ(SvcLibControl(nullptr, SERVICE_CONTROL_STOP, nullptr), 0);
}

TEST_F(SvcLib, StartsControlsAndDeletesARealService)
{
    service = SvcLibOpenAll(nullptr, name.c_str());
    ASSERT_NE(service, nullptr) << GetLastError();
    ASSERT_EQ(SvcLibStart(service, 0, nullptr), 1) << GetLastError();
    EXPECT_TRUE(testlib::WaitFor([&] { return State() == SERVICE_RUNNING; }));
    SERVICE_STATUS status = {};
    EXPECT_EQ(SvcLibControl(service, SERVICE_CONTROL_INTERROGATE, &status), 1);
    EXPECT_EQ(status.dwCurrentState, DWORD(SERVICE_RUNNING));
    EXPECT_EQ(SvcLibControl(service, SERVICE_CONTROL_STOP, nullptr), 1);
    EXPECT_TRUE(testlib::WaitFor([&] { return State() == SERVICE_STOPPED; }));
    EXPECT_EQ(SvcLibClose(service), 1);
    service = nullptr;

    EXPECT_EQ(SvcLibDelete(name.c_str()), 1);
    EXPECT_TRUE(testlib::WaitFor([&] {
        SC_HANDLE s = SvcLibOpen(nullptr, name.c_str(), GENERIC_READ);
        if (s) SvcLibClose(s);
        return s == nullptr;
    }));
    EXPECT_EQ(SvcLibDelete(name.c_str()), 0);
    EXPECT_EQ(SvcLibStart(service, 0, nullptr), 0);
}

}  // namespace
