#include "FixedList.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace {

struct Item {
    int32_t key;
    int32_t value;
};

class FixedListTest : public ::testing::Test {
protected:
    void SetUp() override { FixedListInit(&list, sizeof(Item)); }
    void TearDown() override { FixedListDestroy(&list); }

    std::vector<int> Keys()
    {
        std::vector<int> keys;
        Item item;
        for (FixedListNode* n = FixedListHead(&list); n;) {
            n = FixedListNext(&list, n, &item);
            keys.push_back(item.key);
        }
        return keys;
    }

    std::vector<int> KeysBackwards()
    {
        std::vector<int> keys;
        Item item;
        for (FixedListNode* n = FixedListTail(&list); n;) {
            n = FixedListPrev(&list, n, &item);
            keys.push_back(item.key);
        }
        return keys;
    }

    void Push(std::initializer_list<int> keys)
    {
        for (int k : keys) {
            Item item{k, k * 10};
            ASSERT_NE(nullptr, FixedListPushBack(&list, &item));
        }
    }

    FixedList list;
};

// A memory stream that a test can cut short.
struct TempStream {
    TempStream() : file(std::tmpfile()) {}
    ~TempStream()
    {
        if (file) std::fclose(file);
    }
    long Size()
    {
        std::fseek(file, 0, SEEK_END);
        long n = std::ftell(file);
        std::rewind(file);
        return n;
    }
    FILE* file;
};

TEST_F(FixedListTest, InsertsAtBothEndsAndAroundNodes)
{
    Item a{1, 0}, b{2, 0}, c{3, 0}, d{4, 0}, e{5, 0};
    FixedListNode* nb = FixedListPushBack(&list, &b);
    FixedListPushFront(&list, &a);
    FixedListInsertAfter(&list, nb, &d);
    FixedListInsertBefore(&list, FixedListAt(&list, 2), &c);
    FixedListInsertAfter(&list, nullptr, &e);
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5}), Keys());
    EXPECT_EQ((std::vector<int>{5, 4, 3, 2, 1}), KeysBackwards());
    Item z{0, 0};
    FixedListInsertBefore(&list, nullptr, &z);
    EXPECT_EQ(0, Keys().front());
    EXPECT_EQ(6, FixedListCount(&list));
}

TEST_F(FixedListTest, ElementsAreCopiesNotShared)
{
    Item item{7, 70};
    FixedListNode* node = FixedListPushBack(&list, &item);
    item.key = 8;
    Item out{};
    FixedListGet(&list, node, &out);
    EXPECT_EQ(7, out.key);
    FixedListSet(&list, node, &item);
    FixedListFront(&list, &out);
    EXPECT_EQ(8, out.key);
}

TEST_F(FixedListTest, PopAndRemoveKeepLinksConsistent)
{
    Push({1, 2, 3, 4, 5});
    Item out{};
    FixedListPopFront(&list, &out);
    EXPECT_EQ(1, out.key);
    FixedListPopBack(&list, &out);
    EXPECT_EQ(5, out.key);
    FixedListRemove(&list, FixedListAt(&list, 1));
    EXPECT_EQ((std::vector<int>{2, 4}), Keys());
    EXPECT_EQ((std::vector<int>{4, 2}), KeysBackwards());
    FixedListRemove(&list, FixedListHead(&list));
    FixedListRemove(&list, FixedListTail(&list));
    EXPECT_EQ(1, FixedListIsEmpty(&list));
    EXPECT_EQ(nullptr, FixedListHead(&list));
    EXPECT_EQ(nullptr, FixedListTail(&list));
    // Popping an empty list is harmless and leaves out untouched.
    out.key = 99;
    FixedListPopFront(&list, &out);
    FixedListPopBack(&list, nullptr);
    EXPECT_EQ(99, out.key);
}

TEST_F(FixedListTest, AtGivesNullAtTheCountAndForNegativeIndexes)
{
    Push({1, 2, 3});
    EXPECT_NE(nullptr, FixedListAt(&list, 2));
    EXPECT_EQ(nullptr, FixedListAt(&list, 3));
    EXPECT_EQ(nullptr, FixedListAt(&list, -1));
}

TEST_F(FixedListTest, FindContinuesBehindThePreviousHit)
{
    Push({1, 2, 1, 3, 1});
    int32_t key = 1;
    FixedListNode* first = FixedListFind(&list, &key, sizeof key, nullptr);
    FixedListNode* second = FixedListFind(&list, &key, sizeof key, first);
    FixedListNode* third = FixedListFind(&list, &key, sizeof key, second);
    EXPECT_EQ(FixedListAt(&list, 0), first);
    EXPECT_EQ(FixedListAt(&list, 2), second);
    EXPECT_EQ(FixedListAt(&list, 4), third);
    EXPECT_EQ(nullptr, FixedListFind(&list, &key, sizeof key, third));
    // A key longer than the element never reads past it.
    EXPECT_EQ(nullptr, FixedListFind(&list, &key, sizeof(Item) + 1, nullptr));
}

int CompareValue(const void* key, const void* element)
{
    return *static_cast<const int32_t*>(key) == static_cast<const Item*>(element)->value ? 0 : 1;
}

TEST_F(FixedListTest, FindIfUsesTheCompareFunction)
{
    Push({1, 2, 3});
    int32_t value = 20;
    EXPECT_EQ(FixedListAt(&list, 1), FixedListFindIf(&list, &value, CompareValue, nullptr));
    EXPECT_EQ(nullptr, FixedListFindIf(&list, &value, CompareValue, FixedListAt(&list, 1)));
}

TEST_F(FixedListTest, RefusesMoreThanTheMaximumCount)
{
    FixedList small;
    FixedListInit(&small, 1);
    char byte = 'x';
    for (int i = 0; i < FIXED_LIST_MAX_COUNT; ++i) ASSERT_NE(nullptr, FixedListPushBack(&small, &byte));
    EXPECT_EQ(nullptr, FixedListPushBack(&small, &byte));
    EXPECT_EQ(nullptr, FixedListPushFront(&small, &byte));
    EXPECT_EQ(FIXED_LIST_MAX_COUNT, FixedListCount(&small));
    FixedListDestroy(&small);
    EXPECT_EQ(0u, FixedListElementSize(&small));
}

TEST_F(FixedListTest, SavedListHasTheStoredFormatAndLoadsBack)
{
    FixedList eight;
    FixedListInit(&eight, 8);
    for (uint8_t i = 1; i <= 3; ++i) {
        unsigned char e[8];
        std::memset(e, i, sizeof e);
        FixedListPushBack(&eight, e);
    }
    TempStream s;
    ASSERT_TRUE(s.file);
    EXPECT_EQ(1, FixedListSave(s.file, &eight));
    EXPECT_EQ(30, s.Size());
    unsigned char header[6];
    ASSERT_EQ(6u, std::fread(header, 1, 6, s.file));
    EXPECT_EQ(0, std::memcmp(header, "\x08\x00\x00\x00\x03\x00", 6));
    std::rewind(s.file);
    FixedList loaded;
    FixedListInit(&loaded, 0);
    EXPECT_EQ(1, FixedListLoad(s.file, &loaded));
    EXPECT_EQ(3, FixedListCount(&loaded));
    EXPECT_EQ(8u, FixedListElementSize(&loaded));
    unsigned char e[8];
    FixedListBack(&loaded, e);
    EXPECT_EQ(3, e[7]);
    FixedListFront(&loaded, e);
    EXPECT_EQ(1, e[0]);
    FixedListDestroy(&loaded);
    FixedListDestroy(&eight);
}

TEST_F(FixedListTest, LoadOfAnEmptyStoredListTakesTheElementSize)
{
    TempStream s;
    std::fwrite("\x10\x00\x00\x00\x00\x00", 1, 6, s.file);
    std::rewind(s.file);
    EXPECT_EQ(1, FixedListLoad(s.file, &list));
    EXPECT_EQ(1, FixedListIsEmpty(&list));
    EXPECT_EQ(16u, FixedListElementSize(&list));

    // Nothing of the size is allocated for a list that holds no element.
    TempStream huge;
    std::fwrite("\xFF\xFF\xFF\xFF\x00\x00", 1, 6, huge.file);
    std::rewind(huge.file);
    FixedList none;
    FixedListInit(&none, 0);
    EXPECT_EQ(1, FixedListLoad(huge.file, &none));
    EXPECT_EQ(0xFFFFFFFFu, FixedListElementSize(&none));
    FixedListDestroy(&none);
}

TEST_F(FixedListTest, ShortOrMalformedStreamsLoadAsAnEmptyList)
{
    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;
    } cases[] = {
        {"ends inside the second element", {8, 0, 0, 0, 3, 0, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2}},
        {"no count", {8, 0, 0, 0, 3}},
        {"negative count", {8, 0, 0, 0, 0xFF, 0xFF}},
        {"empty stream", {}},
        // Headers that name more than the stream holds are refused before
        // anything of their size is allocated.
        {"element of 4 GiB", {0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 1, 2, 3}},
        {"32767 elements of 256 MiB", {0, 0, 0, 0x10, 0xFF, 0x7F, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempStream s;
        if (!c.bytes.empty()) std::fwrite(c.bytes.data(), 1, c.bytes.size(), s.file);
        std::rewind(s.file);
        FixedList loaded;
        FixedListInit(&loaded, 8);
        EXPECT_EQ(0, FixedListLoad(s.file, &loaded));
        EXPECT_EQ(0, FixedListCount(&loaded));
        EXPECT_EQ(nullptr, FixedListHead(&loaded));
        FixedListDestroy(&loaded);
    }
}

TEST_F(FixedListTest, LoadIntoAFilledListReleasesItsNodes)
{
    Push({1, 2});
    TempStream s;
    std::fwrite("\x08\x00\x00\x00\x01\x00" "abcdefgh", 1, 14, s.file);
    std::rewind(s.file);
    EXPECT_EQ(1, FixedListLoad(s.file, &list));
    EXPECT_EQ(1, FixedListCount(&list));
}

}  // namespace
