// A CString and a CStringArray as standard strings, for test expectations.
#pragma once

#include <string>
#include <vector>

#include "CString.h"

using Strings = std::vector<std::string>;

inline std::string S(const CString& s) { return std::string(s.GetString(), s.GetLength()); }

inline Strings V(const CStringArray& a)
{
    Strings v;
    for (int i = 0; i < a.GetSize(); ++i)
        v.push_back(S(a[i]));
    return v;
}
