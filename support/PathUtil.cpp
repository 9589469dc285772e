#include "PathUtil.h"

#include "StringUtil.h"

namespace {

const char kSep = '\\';

// The path's characters up to and including its count-th backslash, or the
// whole path when it has fewer.
std::string UpToSeparator(const std::string& path, int count)
{
    std::size_t at = std::string::npos;
    for (int i = 0; i < count; ++i) {
        at = path.find(kSep, at == std::string::npos ? 0 : at + 1);
        if (at == std::string::npos) return path;
    }
    return path.substr(0, at + 1);
}

// The text behind the first occurrence of part, or all of it without one.
std::string Behind(const std::string& text, const std::string& part)
{
    std::size_t at = text.find(part);
    return at == std::string::npos ? text : text.substr(at + part.size());
}

}  // namespace

char PathSeparator() { return kSep; }

bool IsPathSeparator(char c) { return c == kSep; }

int CountLeadingSeparators(const std::string& path) { return CountLeadingChars(path, kSep); }

int CountTrailingSeparators(const std::string& path) { return CountTrailingChars(path, kSep); }

std::string StripLeadingSeparators(const std::string& path) { return TrimCharLeft(path, kSep); }

std::string StripTrailingSeparators(const std::string& path) { return TrimCharRight(path, kSep); }

std::string StripSeparators(const std::string& path) { return TrimChar(path, kSep); }

std::string SetLeadingSeparators(const std::string& path, int n) { return SetLeadingChars(path, kSep, n); }

std::string SetTrailingSeparators(const std::string& path, int n) { return SetTrailingChars(path, kSep, n); }

bool IsUncPath(const std::string& path) { return path.compare(0, 2, "\\\\") == 0; }

bool IsDrivePath(const std::string& path) { return path.find(':') == 1; }

std::string PathRoot(const std::string& path)
{
    if (IsUncPath(path)) return PathUncRoot(path);
    if (IsDrivePath(path)) return PathDriveRoot(path);
    return std::string();
}

std::string PathUncRoot(const std::string& path) { return StripTrailingSeparators(UpToSeparator(path, 4)); }

std::string PathDriveRoot(const std::string& path) { return StripTrailingSeparators(UpToSeparator(path, 1)); }

std::string PathDirectory(const std::string& path)
{
    if (path == "\\") return path;
    std::size_t at = StripTrailingSeparators(path).rfind(kSep);
    if (at == std::string::npos) return std::string();
    return SetTrailingSeparators(path.substr(0, at), 1);
}

std::string PathFileName(const std::string& path)
{
    std::size_t at = path.rfind(kSep);
    return at == std::string::npos ? path : path.substr(at + 1);
}

std::string PathJoin(const std::string& first, const std::string& second)
{
    if (first.empty()) return second;
    if (second.empty()) return first;
    return StripTrailingSeparators(first) + kSep + StripLeadingSeparators(second);
}

std::string PathJoin(const std::string& first, const std::string& second, const std::string& third)
{
    return PathJoin(PathJoin(first, second), third);
}

void PathSplit(const std::string& path, std::string* root, std::string* directory, std::string* file)
{
    std::string rootPart = PathRoot(path);
    std::string rest = Behind(path, rootPart);
    std::string dirPart = PathDirectory(rest);
    std::string filePart = PathFileName(Behind(rest, dirPart));
    if (root) *root = rootPart;
    if (directory) *directory = dirPart;
    if (file) *file = filePart;
}

bool PathRelative(const std::string& path, const std::string& base, std::string& out)
{
    if (StrToLower(path).compare(0, base.size(), StrToLower(base)) != 0) return false;
    out = StripLeadingSeparators(path.substr(base.size()));
    return true;
}

std::string PathTopDirectory(const std::string& path)
{
    std::string root = PathRoot(path);
    std::string rest = path;
    if (!root.empty()) PathRelative(path, root, rest);
    if (rest == "\\") return rest;
    std::size_t k = static_cast<std::size_t>(CountLeadingSeparators(rest));
    std::size_t at = rest.find(kSep, k);
    if (at == std::string::npos) return rest;
    return SetTrailingSeparators(rest.substr(0, at), 1);
}

std::string PathBaseName(const std::string& path)
{
    std::string name = PathFileName(path);
    int k = CountFields(name, ".", false);
    return GetField(name, ".", k >= 2 ? k - 1 : k, false);
}

std::string PathExtension(const std::string& path)
{
    std::string name = PathFileName(path);
    int k = CountFields(name, ".", false);
    return k < 2 ? std::string() : GetField(name, ".", k, false);
}
