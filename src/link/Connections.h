#pragma once

#include "platform/DeviceWatcher.h"

class CMainFrame;

// The connection commands: File Mode's one terminal, Project Mode's roster.
void ConnectDisconnect(CMainFrame& frame);
void NewConnect(CMainFrame& frame);
void CloseConnect(CMainFrame& frame);

// A USB terminal plugged in or pulled out while File Mode is connected.
void HandleDeviceChange(CMainFrame& frame, DeviceEvent event);
