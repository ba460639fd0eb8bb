#pragma once

#include <cstdint>

namespace emu {

// The result codes this stand-in answers with; all of them are codes the program knows.
inline constexpr int32_t kOk = 0;
inline constexpr int32_t kTimeout = 2509;
inline constexpr int32_t kInvalidDisk = 2616;
inline constexpr int32_t kUnformatted = 2617;
inline constexpr int32_t kNoSpace = 2619;
inline constexpr int32_t kFormatFailed = 2620;
inline constexpr int32_t kInvalidPath = 2621;
inline constexpr int32_t kFileMissing = 2622;
inline constexpr int32_t kOpenFailed = 2624;
inline constexpr int32_t kFileExists = 2625;
inline constexpr int32_t kIllegalName = 2626;
inline constexpr int32_t kNameExists = 2627;
inline constexpr int32_t kDeleteFailed = 2628;
inline constexpr int32_t kMakeFolderFailed = 2630;
inline constexpr int32_t kRemoveFolderFailed = 2631;
inline constexpr int32_t kBadFirmware = 2649;
inline constexpr int32_t kFirmwareWriteFailed = 2650;
inline constexpr int32_t kFirmwareModel = 2654;
inline constexpr int32_t kFunctionFailed = 2801;
inline constexpr int32_t kBadHandle = 2802;
inline constexpr int32_t kPcFileFailed = 2804;
inline constexpr int32_t kBadParameter = 2807;

}  // namespace emu
