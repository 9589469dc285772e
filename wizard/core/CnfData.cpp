#include "CnfData.h"

#include "IniUtil.h"
#include "KodraFiles.h"
#include "KodraProgram.h"
#include "RegValues.h"
#include "ServiceControl.h"
#include "UniqueHandle.h"
#include "WizardUtil.h"

#include <cstdio>
#include <cstring>

namespace {

const char kServicesKey[] = "SYSTEM\\CurrentControlSet\\Services\\";
const char kParametersSubkey[] = "\\Parameters";
const DWORD kDefaultPort = 6003;
const DWORD kDefaultMessagePort = 961;

CString Trimmed(const char* text)
{
    CString copy(text ? text : "");
    TrimCString(copy);
    return copy;
}

CString ValueName(const char* format, int n)
{
    CString name;
    name.Format(format, n);
    return name;
}

}  // namespace

CCnfData::CCnfData() : AddrModified(0) { Reset(); }

CCnfData::~CCnfData() = default;

void CCnfData::Reset()
{
    Addr.RemoveAll();
    Velmor.RemoveAll();
    Port = 0;
    MessagePort = 0;
    CmdTray = 0;
    ExecutePrg.Empty();
    AlivePrg.Empty();
    LogFileMaxKB = 0;
    VelMorCheckIntervallSec = 0;
    VelMorCheckConnectRetries = 0;
    InstallationMode = kModeNone;
    WizardMode = kModeNone;
    ExtraTimeMinutes = 0;
    VelMorCheckAlive = 0;
    VelMorCheckUsesTraps = false;
    RedundancyEnabled = 0;
    RedundancyBatchSuppress = 0;
    ClearRedundancyGroup();
    SSL = "0";
}

void CCnfData::SetDefaults()
{
    Reset();
    Port = kDefaultPort;
    MessagePort = kDefaultMessagePort;
    ExecutePrg = ProgramFolderFile(kKodraShutdownBatch);
    AlivePrg = ProgramFolderFile(kKodraAliveBatch);
    RedundancyBatchFile = ProgramFolderFile(kKodraSuppressedBatch);
    VelMorCheckIntervallSec = 1800;
    VelMorCheckConnectRetries = 100;
    LogFileMaxKB = 512;
    ExtraTimeMinutes = 3;
    AddrModified = 1;
}

void CCnfData::ClearRedundancyGroup()
{
    for (short& flag : Addr_Checked) flag = 0;
    RedundancyLevel = -1;
}

bool IsValidServiceName(const char* name)
{
    if (!name) return false;
    size_t length = std::strlen(name);
    if (length == 0 || length > static_cast<size_t>(kMaxServiceNameLength)) return false;
    if (name[0] == ' ' || name[length - 1] == ' ') return false;
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        if (c < 0x20 || c == 0x7F || c == '\\' || c == '/' || c == '"') return false;
    }
    return true;
}

bool OpenServiceParametersKey(const char* serviceName, bool create, HKEY* key)
{
    if (key) *key = nullptr;
    if (!key) return false;
    CString name = Trimmed(serviceName);
    if (!IsValidServiceName(name)) return false;
    CString path = CString(kServicesKey) + name + kParametersSubkey;
    LONG result = create ? RegCreateKeyA(HKEY_LOCAL_MACHINE, path, key)
                         : RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, key);
    if (result != ERROR_SUCCESS) {
        *key = nullptr;
        return false;
    }
    return true;
}

bool ReadServiceParameters(CCnfData& record, const char* serviceName)
{
    record.SetDefaults();
    UniqueRegKey owner;
    if (!OpenServiceParametersKey(serviceName, false, owner.Put())) return false;
    HKEY key = owner.Get();

    RegReadDword(key, "Port", record.Port);
    RegReadDword(key, "MessagePort", record.MessagePort);
    if (record.MessagePort == 0) record.MessagePort = kDefaultMessagePort;
    RegReadDword(key, "CmdTray", record.CmdTray);
    RegReadString(key, "ListenIP", record.ListenIP);
    if (record.ListenIP.IsEmpty()) record.ListenIP = "127.0.0.1";
    RegReadDword(key, "VelMorCheckIntervallSec", record.VelMorCheckIntervallSec);
    RegReadDword(key, "VelMorCheckConnectRetries", record.VelMorCheckConnectRetries);
    DWORD traps = 0;
    RegReadDword(key, "VelMorCheckUsesTraps", traps);
    record.VelMorCheckUsesTraps = traps != 0;
    RegReadString(key, "ExecutePrg", record.ExecutePrg);
    RegReadString(key, "AlivePrg", record.AlivePrg);
    RegReadDword(key, "ExtraTimeMinutes", record.ExtraTimeMinutes);
    RegReadDword(key, "LogFileMaxKB", record.LogFileMaxKB);
    RegReadDword(key, "InstallationMode", record.InstallationMode);
    record.WizardMode = record.InstallationMode;

    // The list closes up over missing and blank values; each flag moves with its
    // address, and the flag of a value that is dropped goes with it.
    record.Addr.RemoveAll();
    for (int n = 1; n <= kMaxAddresses; ++n) {
        CString address;
        if (!RegReadString(key, ValueName("Addr%d", n), address)) continue;
        TrimCString(address);
        if (address.IsEmpty()) continue;
        DWORD flag = 0;
        RegReadDword(key, ValueName("Addr_Checked%d", n), flag);
        record.Addr_Checked[record.Addr.GetSize()] = static_cast<short>(flag & 0xFFFF);
        record.Addr.Add(address);
    }

    RegReadDword(key, "RedundancyEnabled", record.RedundancyEnabled);
    DWORD level = static_cast<DWORD>(record.RedundancyLevel);
    if (RegReadDword(key, "RedundancyLevel", level)) record.RedundancyLevel = static_cast<LONG>(level);
    RegReadDword(key, "RedundancyBatchSuppress", record.RedundancyBatchSuppress);
    RegReadString(key, "RedundancyBatchFile", record.RedundancyBatchFile);
    RegReadDword(key, "VelMorCheckAlive", record.VelMorCheckAlive);
    RegReadString(key, "SSL", record.SSL);
    return true;
}

bool WriteServiceParameters(const CCnfData& record, bool server, const char* serviceName)
{
    UniqueRegKey owner;
    if (!OpenServiceParametersKey(serviceName, true, owner.Put())) return false;
    HKEY key = owner.Get();

    // Every value is tried; one that fails makes the whole write fail.
    bool ok = true;
    auto dword = [&](const char* name, DWORD value) { ok = RegWriteDword(key, name, value) && ok; };
    auto text = [&](const char* name, const char* value) {
        ok = RegWriteString(key, name, value, REG_SZ) && ok;
    };

    dword("Port", record.Port);
    dword("MessagePort", record.MessagePort);
    dword("CmdTray", record.CmdTray);
    text("ListenIP", record.ListenIP);
    dword("ExtraTimeMinutes", server ? record.ExtraTimeMinutes : 0);
    dword("VelMorCheckIntervallSec", server ? 0 : record.VelMorCheckIntervallSec);
    dword("VelMorCheckConnectRetries", server ? 0 : record.VelMorCheckConnectRetries);
    dword("VelMorCheckUsesTraps", (!server && record.VelMorCheckUsesTraps) ? 1 : 0);
    dword("VelMorCheckRetries", 0);
    text("ExecutePrg", server ? "" : static_cast<const char*>(record.ExecutePrg));
    text("AlivePrg", server ? "" : static_cast<const char*>(record.AlivePrg));
    dword("InstallationMode", server ? kModeServer : kModeClient);
    dword("LogFileMaxKB", server ? 0 : record.LogFileMaxKB);
    CString logName;
    logName.Format(kKodraLogFileValueFormat, Trimmed(serviceName).GetString());
    text("LogFileTxt", logName);

    for (int n = 1; n <= kMaxAddresses; ++n) {
        CString address;
        if (n <= record.Addr.GetSize()) address = Trimmed(record.Addr.GetAt(n - 1));
        text(ValueName("Addr%d", n), address);
        dword(ValueName("Addr_Checked%d", n),
              static_cast<DWORD>(static_cast<LONG>(record.Addr_Checked[n - 1])));
    }

    dword("RedundancyEnabled", record.RedundancyEnabled);
    dword("RedundancyLevel", static_cast<DWORD>(record.RedundancyLevel));
    dword("RedundancyBatchSuppress", record.RedundancyBatchSuppress);
    text("RedundancyBatchFile", record.RedundancyBatchFile);
    dword("VelMorCheckAlive", record.VelMorCheckAlive);
    text("SSL", record.SSL);

    if (!server) {
        for (int n = 1; n <= kMaxAddresses; ++n) {
            CString address;
            if (n <= record.Velmor.GetSize()) address = Trimmed(record.Velmor.GetAt(n - 1));
            text(ValueName("Velmor%d", n), address);
        }
    }
    return ok;
}

bool DeleteServiceRegistryKeys(const char* serviceName)
{
    CString name = Trimmed(serviceName);
    if (!IsValidServiceName(name)) return false;
    CString serviceKey = CString(kServicesKey) + name;
    bool deleted =
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, serviceKey + kParametersSubkey) == ERROR_SUCCESS;
    // The service's own key is the service manager's record of the service: it
    // goes only when no service of that name is left.
    if (ServiceIsGone(name)) RegDeleteKeyA(HKEY_LOCAL_MACHINE, serviceKey);
    return deleted;
}

bool IsInstallModeSwitch(const CCnfData& record, DWORD chosenMode)
{
    bool installed =
        record.InstallationMode == kModeServer || record.InstallationMode == kModeClient;
    bool chosen = chosenMode == kModeServer || chosenMode == kModeClient;
    return installed && chosen && record.InstallationMode != chosenMode;
}
