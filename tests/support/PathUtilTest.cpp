#include "CPathString.h"
#include "PathUtil.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

struct PathCase {
    const char* path;
    const char* expected;
};

TEST(PathParts, Directory)
{
    const PathCase cases[] = {
        {"D:\\dir\\file.exe", "D:\\dir\\"},
        {"D:\\dir\\", "D:\\"},
        {"D:\\dir\\\\file", "D:\\dir\\"},
        {"D:\\dir\\\\\\", "D:\\"},
        {"\\file", "\\"},
        {"\\", "\\"},
        {"\\\\", ""},
        {"file.exe", ""},
        {"D:file", ""},
        {"", ""},
        {"\\\\srv\\share\\f", "\\\\srv\\share\\"},
        {"D:/dir/file", ""},
        {"D:\\Programs\\msg.exe", "D:\\Programs\\"},
    };
    for (const PathCase& c : cases) EXPECT_EQ(c.expected, PathDirectory(c.path)) << c.path;
}

TEST(PathParts, FileName)
{
    const PathCase cases[] = {
        {"D:\\dir\\f.txt", "f.txt"}, {"D:\\dir\\", ""}, {"f.txt", "f.txt"}, {"", ""}, {"a/b", "a/b"},
    };
    for (const PathCase& c : cases) EXPECT_EQ(c.expected, PathFileName(c.path)) << c.path;
}

TEST(PathParts, Join)
{
    struct Case {
        const char* first;
        const char* second;
        const char* joined;
    } const cases[] = {
        {"D:\\dir\\", "ktMsg.exe", "D:\\dir\\ktMsg.exe"},
        {"D:\\dir", "ktMsg.exe", "D:\\dir\\ktMsg.exe"},
        {"D:\\dir", "\\ktMsg.exe", "D:\\dir\\ktMsg.exe"},
        {"D:\\dir\\\\", "\\\\ktMsg.exe", "D:\\dir\\ktMsg.exe"},
        {"", "ktMsg.exe", "ktMsg.exe"},
        {"", "\\x", "\\x"},
        {"D:\\dir\\", "", "D:\\dir\\"},
        {"\\", "f", "\\f"},
        {"D:", "f", "D:\\f"},
        {"a", "\\", "a\\"},
        {"D:/dir", "f", "D:/dir\\f"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.joined, PathJoin(c.first, c.second)) << c.first << " + " << c.second;
    EXPECT_EQ("D:\\dir\\f", PathJoin("D:\\", "dir\\", "f"));
}

TEST(PathParts, LauncherFolderOfItsModule)
{
    EXPECT_EQ("D:\\Programs\\ktMsg.exe", PathJoin(PathDirectory("D:\\Programs\\msg.exe"), "ktMsg.exe"));
    EXPECT_EQ("ktMsg.exe", PathJoin(PathDirectory("msg.exe"), "ktMsg.exe"));
    EXPECT_EQ("C:\\kodra test 1\\ktMsg.exe", PathJoin(PathDirectory("C:\\kodra test 1\\msg.exe"), "ktMsg.exe"));
}

TEST(PathSeparators, Runs)
{
    EXPECT_EQ('\\', PathSeparator());
    EXPECT_TRUE(IsPathSeparator('\\'));
    EXPECT_FALSE(IsPathSeparator('/'));
    EXPECT_EQ(2, CountLeadingSeparators("\\\\srv\\"));
    EXPECT_EQ(1, CountTrailingSeparators("\\\\srv\\"));
    EXPECT_EQ("srv\\\\x\\", StripLeadingSeparators("\\\\srv\\\\x\\"));
    EXPECT_EQ("\\\\srv\\\\x", StripTrailingSeparators("\\\\srv\\\\x\\\\"));
    EXPECT_EQ("srv\\\\x", StripSeparators("\\srv\\\\x\\"));
    EXPECT_EQ("", StripSeparators("\\\\\\"));
    EXPECT_EQ("\\\\dir", SetLeadingSeparators("dir", 2));
    EXPECT_EQ("dir\\", SetTrailingSeparators("dir\\\\\\", 1));
    EXPECT_EQ("dir", SetTrailingSeparators("dir\\\\\\", 0));
}

TEST(PathRoots, Roots)
{
    const PathCase cases[] = {
        {"\\\\srv\\share\\dir\\f", "\\\\srv\\share"},
        {"\\\\srv\\share\\", "\\\\srv\\share"},
        {"\\\\srv", "\\\\srv"},
        {"D:\\dir", "D:"},
        {"D:dir", "D:dir"},
        {"D:\\", "D:"},
        {"dir\\f", ""},
        {"\\dir", ""},
        {"", ""},
        {"ab:c", ""},
    };
    for (const PathCase& c : cases) EXPECT_EQ(c.expected, PathRoot(c.path)) << c.path;
    EXPECT_TRUE(IsUncPath("\\\\x"));
    EXPECT_FALSE(IsUncPath("\\x"));
    EXPECT_TRUE(IsDrivePath("?:x"));
    EXPECT_FALSE(IsDrivePath("ab:c:"));
    EXPECT_EQ("\\\\a\\b", PathUncRoot("\\\\a\\b\\c\\d"));
    EXPECT_EQ("x", PathDriveRoot("x\\y"));
}

TEST(PathParts, Split)
{
    struct Case {
        const char* path;
        const char* root;
        const char* directory;
        const char* file;
    } const cases[] = {
        {"D:\\dir\\f.txt", "D:", "\\dir\\", "f.txt"},
        {"\\\\srv\\share\\d\\f.txt", "\\\\srv\\share", "\\d\\", "f.txt"},
        {"f.txt", "", "", "f.txt"},
        {"D:\\dir", "D:", "\\", "dir"},
        {"\\dir\\sub\\", "", "\\dir\\", ""},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        std::string root = "x", directory = "x", file = "x";
        PathSplit(c.path, &root, &directory, &file);
        EXPECT_EQ(c.root, root) << c.path;
        EXPECT_EQ(c.directory, directory) << c.path;
        EXPECT_EQ(c.file, file) << c.path;
    }
    std::string file;
    PathSplit("D:\\dir\\f.txt", nullptr, nullptr, &file);
    EXPECT_EQ("f.txt", file);
}

TEST(PathParts, Relative)
{
    std::string out = "kept";
    EXPECT_TRUE(PathRelative("D:\\Prog\\Sub\\x.bat", "d:\\prog", out));
    EXPECT_EQ("Sub\\x.bat", out);
    EXPECT_TRUE(PathRelative("D:\\Programs\\x", "D:\\Prog", out));
    EXPECT_EQ("rams\\x", out);
    EXPECT_TRUE(PathRelative("D:\\x", "", out));
    EXPECT_EQ("D:\\x", out);
    out = "kept";
    EXPECT_FALSE(PathRelative("E:\\x", "D:\\", out));
    EXPECT_FALSE(PathRelative("D:", "D:\\x", out));
    EXPECT_EQ("kept", out);
}

TEST(PathParts, TopDirectory)
{
    const PathCase cases[] = {
        {"D:\\dir\\sub\\f", "dir\\"},
        {"\\dir\\sub", "\\dir\\"},
        {"dir\\sub", "dir\\"},
        {"D:\\f", "f"},
        {"\\\\srv\\share\\d\\f", "d\\"},
        {"\\", "\\"},
        {"dir\\\\\\sub", "dir\\"},
    };
    for (const PathCase& c : cases) EXPECT_EQ(c.expected, PathTopDirectory(c.path)) << c.path;
}

TEST(PathParts, BaseNameAndExtension)
{
    struct Case {
        const char* path;
        const char* base;
        const char* extension;
    } const cases[] = {
        {"D:\\dir\\file.txt", "file", "txt"},
        {"a.b.c", "b", "c"},
        {"file", "file", ""},
        {"file.", "file", ""},
        {".profile", "", "profile"},
        {"D:\\dir.d\\file", "file", ""},
        {"", "", ""},
        {"D:\\dir\\", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.base, PathBaseName(c.path)) << c.path;
        EXPECT_EQ(c.extension, PathExtension(c.path)) << c.path;
    }
}

TEST(PathString, EqualityIgnoresCaseAndTrailingSeparators)
{
    CPathString p;
    p = "D:\\Dir\\";
    EXPECT_TRUE(p == "d:\\dir");
    EXPECT_TRUE(p == "D:\\DIR\\\\");
    EXPECT_FALSE(p == "D:/dir");
    EXPECT_EQ("D:\\Dir\\", p.GetPath());
    p = std::string("\\");
    EXPECT_TRUE(p == "\\");
    EXPECT_FALSE(p == "\\\\");
    p = "D:\\dir";
    EXPECT_FALSE(p == "D:/dir");
}

TEST(PathString, AssignmentAndAccess)
{
    CPathString a(std::string("C:\\x"));
    CPathString b;
    b = a;
    EXPECT_EQ("C:\\x", b.GetPath());
    b = b;
    EXPECT_EQ("C:\\x", b.GetPath());
    b.GetPath() += "\\y";
    EXPECT_EQ("C:\\x\\y", b.GetPath());
    EXPECT_EQ("C:\\x", a.GetPath());
    const CPathString& c = b;
    std::ostringstream out;
    out << c;
    EXPECT_EQ("C:\\x\\y", out.str());
}

}  // namespace
