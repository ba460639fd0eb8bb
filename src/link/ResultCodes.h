#pragma once

#include <QString>
#include <cstdint>
#include <string>

using ResultCode = int32_t;

// Result codes that callers test by value.
inline constexpr ResultCode kSuccess = 0;
inline constexpr ResultCode kTransmissionTimeout = 2509;
inline constexpr ResultCode kInvalidDisk = 2616;
inline constexpr ResultCode kNoSuchFile = 2622;
inline constexpr ResultCode kFileAlreadyExists = 2625;
inline constexpr ResultCode kIllegalFileName = 2626;
inline constexpr ResultCode kCreateFolderFail = 2630;
inline constexpr ResultCode kDeleteFolderFail = 2631;
inline constexpr ResultCode kInvalidPortHandle = 2802;
inline constexpr ResultCode kOpenFileFail = 2804;

// The message the user sees for a library result code.
std::string ResultCodeText(ResultCode code);
QString ResultCodeMessage(ResultCode code);

// What the user is told when a terminal cannot be reached at all.
inline constexpr char kDeviceOfflineText[] = "Device is Off-line!";
