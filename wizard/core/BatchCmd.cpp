#include "BatchCmd.h"

#include "StringUtil.h"

CBatchCmd::CBatchCmd(const std::string& program, const std::string& arguments,
                     const std::string& name, const std::string& description,
                     const std::string& directory, int type)
    : program_(program),
      arguments_(arguments),
      name_(name),
      description_(description),
      directory_(directory),
      type_(type)
{
}

std::string CBatchCmd::GetCommandLine() const
{
    return arguments_.empty() ? program_ : program_ + " " + arguments_;
}

bool CBatchCmd::IsSameCommand(const CBatchCmd& other) const
{
    return StrToUpper(GetCommandLine()) == StrToUpper(other.GetCommandLine());
}
