// Functions on backslash paths held in standard strings. They work on the text
// alone, never on the file system; a slash is an ordinary character.
#pragma once

#include <string>

char PathSeparator();
bool IsPathSeparator(char c);

// A run of backslashes at either end counts as one boundary.
int CountLeadingSeparators(const std::string& path);
int CountTrailingSeparators(const std::string& path);
std::string StripLeadingSeparators(const std::string& path);
std::string StripTrailingSeparators(const std::string& path);
std::string StripSeparators(const std::string& path);
std::string SetLeadingSeparators(const std::string& path, int n);
std::string SetTrailingSeparators(const std::string& path, int n);

// Roots: '\\srv\share' of a UNC path, 'D:' of a drive path, else "".
bool IsUncPath(const std::string& path);
bool IsDrivePath(const std::string& path);
std::string PathRoot(const std::string& path);
std::string PathUncRoot(const std::string& path);
std::string PathDriveRoot(const std::string& path);

// The folder part with exactly one trailing backslash; a path that ends with
// backslashes names its last folder as a file.
std::string PathDirectory(const std::string& path);
std::string PathFileName(const std::string& path);
// Joins with exactly one backslash; an empty part gives the other unchanged.
std::string PathJoin(const std::string& first, const std::string& second);
std::string PathJoin(const std::string& first, const std::string& second, const std::string& third);
// Any of the outputs may be null.
void PathSplit(const std::string& path, std::string* root, std::string* directory, std::string* file);
// A plain prefix test ignoring case, not one on folder boundaries.
bool PathRelative(const std::string& path, const std::string& base, std::string& out);
std::string PathTopDirectory(const std::string& path);
std::string PathBaseName(const std::string& path);
std::string PathExtension(const std::string& path);
