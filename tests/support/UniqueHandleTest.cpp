#include "UniqueSocket.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

bool IsOpen(HANDLE handle)
{
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != FALSE;
}

TEST(UniqueHandle, ClosesOnceWhateverRoadTheHandleTakes)
{
    HANDLE raw = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(nullptr, raw);
    {
        UniqueKernelHandle first(raw);
        UniqueKernelHandle second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_EQ(raw, second.Get());
        UniqueKernelHandle third;
        third = std::move(second);
        EXPECT_TRUE(IsOpen(raw));
    }
    EXPECT_FALSE(IsOpen(raw));

    HANDLE kept = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(nullptr, kept);
    {
        UniqueKernelHandle owner(kept);
        EXPECT_EQ(kept, owner.Release());
    }
    EXPECT_TRUE(IsOpen(kept));
    UniqueKernelHandle replaced(kept);
    replaced.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    EXPECT_FALSE(IsOpen(kept));
}

TEST(UniqueHandle, EachKindKnowsItsEmptyValue)
{
    EXPECT_FALSE(UniqueFileHandle(INVALID_HANDLE_VALUE));
    UniqueFileHandle file(CreateFileA("NUL", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(file);

    UniqueRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_READ, key.Put()));
    EXPECT_TRUE(key);
    EXPECT_EQ(ERROR_SUCCESS, RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr,
                                              nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));

    UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    EXPECT_TRUE(manager);

    EXPECT_FALSE(UniqueSocket(INVALID_SOCKET));
}

}  // namespace
