// The path functions and the path value, on a separator count read first and
// three texts (the last the rest of the input, up to 16 KiB, so names pass the
// 4095 bytes where the field reader behind the base name and extension leaves
// its stack buffer). Asserted, as the header states them: runs of separators
// set to n are n long and stripped ones are gone; a root is where the path
// starts; a directory is empty or ends with exactly one backslash; root,
// directory and file put back together give the path when the part behind the
// root neither ends with a backslash nor holds two in a row; a join has exactly
// one backslash between non-empty parts and gives the other part unchanged for
// an empty one; the file name of a join is the second part's; a path joined to
// a base is relative to it by the rest; a path value equals its own text.
#include "CPathString.h"
#include "FuzzInput.h"
#include "PathUtil.h"
#include "StringUtil.h"

namespace {

bool StartsWith(const std::string& text, const std::string& start) { return text.compare(0, start.size(), start) == 0; }

bool HasOneTrailingSeparator(const std::string& path)
{
    return path.empty() || CountTrailingSeparators(path) == 1;
}

void CheckSeparators(const std::string& a, int n)
{
    Expect(CountLeadingSeparators(a) + StripLeadingSeparators(a).size() == a.size() &&
               CountTrailingSeparators(a) + StripTrailingSeparators(a).size() == a.size(),
           "a run of separators and the rest make up the path");
    const std::string stripped = StripSeparators(a);
    Expect(CountLeadingSeparators(stripped) == 0 && CountTrailingSeparators(stripped) == 0 &&
               a.find(stripped) != std::string::npos,
           "a path stripped of its separators is inside it without them");
    Expect(CountLeadingSeparators(SetLeadingSeparators(a, n)) == n &&
               CountTrailingSeparators(SetTrailingSeparators(a, n)) == n,
           "n separators set are n");
    Expect(IsPathSeparator('\\') && !IsPathSeparator('/') && PathSeparator() == '\\', "the backslash alone");
}

void CheckParts(const std::string& path)
{
    const std::string root = PathRoot(path);
    Expect(StartsWith(path, root), "the root is where the path starts");
    Expect(root.empty() || IsUncPath(path) || IsDrivePath(path), "a root for a UNC or drive path alone");
    Expect(HasOneTrailingSeparator(PathDirectory(path)), "a directory ends with exactly one backslash");
    Expect(PathFileName(path).find('\\') == std::string::npos, "a file name holds no backslash");

    std::string splitRoot, directory, file;
    PathSplit(path, &splitRoot, &directory, &file);
    Expect(splitRoot == root && HasOneTrailingSeparator(directory), "a split's root and directory");
    const std::string rest = path.substr(root.size());
    if (CountTrailingSeparators(rest) == 0 && rest.find("\\\\") == std::string::npos)
        Expect(root + directory + file == path, "root, directory and file make up the path");
    std::string alone;
    PathSplit(path, nullptr, nullptr, &alone);
    Expect(alone == file, "a split gives the same file without the other parts");
    PathSplit(path, nullptr, nullptr, nullptr);
    PathUncRoot(path);
    PathDriveRoot(path);
    PathTopDirectory(path);
    PathBaseName(path);
    PathExtension(path);
}

void CheckJoin(const std::string& first, const std::string& second)
{
    const std::string joined = PathJoin(first, second);
    if (first.empty() || second.empty()) {
        Expect(joined == (first.empty() ? second : first), "an empty part gives the other unchanged");
        return;
    }
    const std::string head = StripTrailingSeparators(first);
    const std::string tail = StripLeadingSeparators(second);
    Expect(joined.size() == head.size() + 1 + tail.size() && StartsWith(joined, head + '\\') &&
               joined.compare(head.size() + 1, std::string::npos, tail) == 0,
           "exactly one backslash joins the parts");
    Expect(PathFileName(joined) == PathFileName(second), "a join's file name is the second part's");
    std::string relative;
    if (CountTrailingSeparators(first) == 0)
        Expect(PathRelative(joined, first, relative) && relative == tail, "a join is relative to its first part");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const int n = in.Byte() % 8;
    const std::string a = in.Text();
    const std::string b = in.Text();
    const std::string c = in.Rest();

    CheckSeparators(a, n);
    CheckParts(a);
    CheckParts(c);
    CheckJoin(a, b);
    CheckJoin(b, c);
    PathJoin(a, b, c);
    std::string relative = "kept";
    if (PathRelative(a, b, relative))
        Expect(StartsWith(StrToLower(a), StrToLower(b)), "relative to a base the path starts with, case aside");
    else
        Expect(relative == "kept", "a path not relative leaves out");

    CPathString path(a);
    Expect(path == a, "a path equals its own text");
    path = b.c_str();
    Expect(path == b, "a path equals the text it was given");
    return 0;
}
