// Whether the KODRA service runs, shown in the tray's icon and tooltip.
#pragma once

void PollServiceState();
bool IsServiceRunning(const char* serviceName);
