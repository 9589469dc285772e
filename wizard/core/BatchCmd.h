// One command line of the client shutdown batch file, with the texts the
// shutdown-sequence editor shows for it.
#pragma once

// windows.h maps GetCommandLine to GetCommandLineA; every user of this class
// must see the same member name.
#include <windows.h>

#include <string>

class CBatchCmd {
public:
    // Bits of the entry's kind.
    enum Type {
        Reusable = 1,  // stays available when added; not returned when removed
        Wait = 2,      // adding asks for seconds and makes a new wait entry
        Custom = 4,    // written after a "SET path=%path%;" line with its directory
        Relay = 8,     // adding asks for a target and makes new relay entries
    };

    CBatchCmd(const std::string& program, const std::string& arguments, const std::string& name,
              const std::string& description, const std::string& directory, int type);

    std::string GetExe() const { return program_; }
    std::string GetArgs() const { return arguments_; }
    std::string GetName() const { return name_; }
    std::string GetDescription() const { return description_; }
    std::string GetDir() const { return directory_; }
    int GetType() const { return type_; }

    // The program, then one blank and the arguments when there are any.
    std::string GetCommandLine() const;
    // The command lines compared ignoring case; nothing else counts.
    bool IsSameCommand(const CBatchCmd& other) const;

private:
    std::string program_;
    std::string arguments_;
    std::string name_;
    std::string description_;
    std::string directory_;
    int type_;
};
