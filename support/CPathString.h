// A path value: held unchanged, compared ignoring case and trailing backslashes.
#pragma once

#include <ostream>
#include <string>

class CPathString {
public:
    CPathString() = default;
    explicit CPathString(const std::string& path) : path_(path) {}
    CPathString(const CPathString&) = default;

    CPathString& operator=(const CPathString& other);
    CPathString& operator=(const std::string& path);
    CPathString& operator=(const char* path);
    bool operator==(const std::string& other) const;

    std::string& GetPath() { return path_; }
    const std::string& GetPath() const { return path_; }

private:
    std::string path_;
};

std::ostream& operator<<(std::ostream& out, const CPathString& path);
