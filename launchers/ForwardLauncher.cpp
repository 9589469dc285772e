#include "ForwardLauncher.h"

#include "MessagePort.h"
#include "StringUtil.h"

std::string GetProductTag(const std::string& lastArgument)
{
    return StrTrim(lastArgument) == "KODRA" ? "KODRA" : "VELMOR";
}

std::string GetMessagePort(const std::string& tag)
{
    std::string port;
    if (tag == "KODRA") GetKodraMessagePort(port);
    else GetVelmorMessagePort(port);
    return port;
}

bool GetKodraMessagePort(std::string& port)
{
    return ReadServiceMessagePort("KODRA", "961", port);
}

bool GetVelmorMessagePort(std::string& port)
{
    return ReadServiceMessagePort("Velmor", "960", port);
}

bool BuildMessageRecord(const std::string& tag, const std::string& commandLine, std::string& record)
{
    std::string text = tag + "|" + std::to_string(commandLine.size()) + "|" + commandLine + "|";
    if (text.size() > kMaxRecordLength) {
        record.clear();
        return false;
    }
    record = text;
    return true;
}
