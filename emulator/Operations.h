#pragma once

#include <stdint.h>

// The operations both modules hand out by ordinal, with the program's C signatures.
extern "C" {

uint32_t TpOpen(int32_t kind, int32_t number, int32_t, int32_t baudCode, int32_t, int32_t, int32_t,
                int32_t, int32_t);
int32_t TpClose(uint32_t handle);
uint32_t TpUsbCount(void);
int32_t TpUsbNameLength(void);
int32_t TpUsbName(int32_t index, char* buffer, int32_t* size);
int32_t TpSetMode(int32_t mode);

int32_t TpDiskInfo(uint32_t handle, const char* drive, int32_t* capacityKB, int32_t* other,
                   int32_t* freeKB);
int32_t TpFormatDisk(uint32_t handle, const char* drive);

int32_t TpListDir(uint32_t handle, const char* folder, int32_t* count, uint8_t* buffer,
                  int32_t* bufferSize);
int32_t TpMakeDir(uint32_t handle, const char* folder);
int32_t TpRemoveDir(uint32_t handle, const char* folder);

int32_t TpRename(uint32_t handle, const char* oldPath, const char* newName);
int32_t TpDeleteFile(uint32_t handle, const char* path);
int32_t TpGetFile(uint32_t handle, const char* terminalPath, const char* pcPath, int32_t flag);
int32_t TpPutFile(uint32_t handle, const char* pcPath, const char* terminalPath, int32_t flagA,
                  int32_t flagB);

int32_t TpGetInfo(uint32_t handle, char* model, char* firmware, char* serial, char* info4,
                  char* info5, char* info6, char* info7, char* info8);
int32_t TpUpgradeFirmware(uint32_t handle, const char* imagePath, int32_t flag);

int32_t CommPortCount(void);
int32_t CommPortNameLength(void);
int32_t CommPortName(int32_t index, char* buffer, int32_t* length);

}  // extern "C"
