#include "CPathString.h"

#include "PathUtil.h"
#include "StringUtil.h"

namespace {

std::string Normalised(const std::string& path)
{
    return path == "\\" ? path : StrToLower(StripTrailingSeparators(path));
}

}  // namespace

CPathString& CPathString::operator=(const CPathString& other)
{
    if (this != &other) path_ = other.path_;
    return *this;
}

CPathString& CPathString::operator=(const std::string& path)
{
    path_ = path;
    return *this;
}

CPathString& CPathString::operator=(const char* path)
{
    path_ = path;
    return *this;
}

bool CPathString::operator==(const std::string& other) const { return Normalised(path_) == Normalised(other); }

std::ostream& operator<<(std::ostream& out, const CPathString& path) { return out << path.GetPath(); }
