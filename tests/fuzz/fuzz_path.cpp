// The path functions and the path value.
#include "CPathString.h"
#include "FuzzInput.h"
#include "PathUtil.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    const int n = in.Byte() % 8;
    const std::string a = in.Text();
    const std::string b = in.Text();
    const std::string c = in.Rest();

    IsPathSeparator(a.empty() ? '\\' : a[0]);
    Expect(CountLeadingSeparators(a) >= 0 && CountTrailingSeparators(a) >= 0, "counts");
    StripLeadingSeparators(a);
    StripTrailingSeparators(a);
    StripSeparators(a);
    SetLeadingSeparators(a, n);
    SetTrailingSeparators(a, n);
    IsUncPath(a);
    IsDrivePath(a);
    PathRoot(a);
    PathUncRoot(a);
    PathDriveRoot(a);
    PathDirectory(a);
    PathFileName(a);
    PathJoin(a, b);
    PathJoin(a, b, c);
    std::string root, directory, file;
    PathSplit(a, &root, &directory, &file);
    PathSplit(a, nullptr, nullptr, nullptr);
    std::string relative;
    PathRelative(a, b, relative);
    PathTopDirectory(a);
    PathBaseName(a);
    PathExtension(a);

    CPathString path(a);
    Expect(path == a, "a path equals its own text");
    path = b.c_str();
    Expect(path == b, "a path equals the text it was given");
    return 0;
}
