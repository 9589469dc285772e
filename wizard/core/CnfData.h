// The wizard's one record of settings, and the service parameters it is read
// from and written to: "SYSTEM\CurrentControlSet\Services\<name>\Parameters".
#pragma once

#include "classlib.h"

constexpr int kMaxAddresses = 30;

// The wizard's modes, with the values "InstallationMode" stores (none, server
// and client) and the removal the wizard may choose besides.
enum WizardModeValue : DWORD {
    kModeNone = 0,
    kModeServer = 1,
    kModeClient = 2,
    kModeUninstall = 3,
};
// A service name must fit the argument line "-i -name <name>" of 260 bytes.
constexpr int kMaxServiceNameLength = 250;

class CCnfData : public CObject {
public:
    CCnfData();
    ~CCnfData() override;

    void Reset();
    void SetDefaults();
    void ClearRedundancyGroup();

    CStringArray Addr;
    // Flag i belongs to address i of Addr: nonzero puts it in the redundancy group.
    short Addr_Checked[kMaxAddresses];
    CStringArray Velmor;
    DWORD Port;
    DWORD MessagePort;
    DWORD CmdTray;
    CString ListenIP;
    CString ExecutePrg;
    CString AlivePrg;
    DWORD LogFileMaxKB;
    DWORD VelMorCheckIntervallSec;
    DWORD VelMorCheckConnectRetries;
    DWORD InstallationMode;  // kModeNone, kModeServer or kModeClient
    DWORD WizardMode;        // kModeServer, kModeClient or kModeUninstall
    DWORD ExtraTimeMinutes;
    DWORD VelMorCheckAlive;
    bool VelMorCheckUsesTraps;
    DWORD RedundancyEnabled;
    LONG RedundancyLevel;
    DWORD RedundancyBatchSuppress;
    CString RedundancyBatchFile;
    DWORD AddrModified;
    CString SSL;
};

bool ReadServiceParameters(CCnfData& record, const char* serviceName);
bool WriteServiceParameters(const CCnfData& record, bool server, const char* serviceName);
bool DeleteServiceRegistryKeys(const char* serviceName);
bool IsInstallModeSwitch(const CCnfData& record, DWORD chosenMode);
// Opens the key for reading, or with create for writing (made when missing):
// a key the wizard may not change still shows what is stored.
bool OpenServiceParametersKey(const char* serviceName, bool create, HKEY* key);

// A name that can stand in a registry key name and, unquoted or quoted, in the
// KODRA program's command line: 1 to 250 characters, no white space at either
// end, no "\", "/", double quote or control character.
bool IsValidServiceName(const char* name);
