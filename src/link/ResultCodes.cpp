#include "link/ResultCodes.h"

#include <array>
#include <cstdio>
#include <utility>

namespace {

constexpr std::array<std::pair<ResultCode, const char*>, 52> kResultTexts{{
    {2509, "Transmission timeout!"},
    {2602, "Terminal is not in file transfer mode."},
    {2616, "Invalid disk."},
    {2617, "The disk is un-format."},
    {2618, "The disk is using."},
    {2619, "The disk have not enough space!"},
    {2620, "Disk format fail!"},
    {2621, "Invalid path."},
    {2622, "The file does not exist."},
    {2623, "The file is in using"},
    {2624, "Open file fail!"},
    {2625, "The file already exist."},
    {2626, "Illegal file name."},
    {2627, "The file name already exist."},
    {2628, "File delete fail!"},
    {2629, "The file cannot be upload!"},
    {2630, "Create folder fail!"},
    {2631, "Delete folder fail!"},
    {2648, "F/W Upgrade transmission fail!"},
    {2649, "Invalid F/W file!"},
    {2650, "F/W write fail!"},
    {2651, "IPL error!"},
    {2652, "BOOT error!"},
    {2653, "KERNEL error!"},
    {2654, "CUSTOMER version error!"},
    {2655, "SPECIAL version error!"},
    {2656, "Out of Memory!"},
    {2657, "Terminal is not in upgrade mode!"},
    {2680, "Transmission Protocal version is not match!"},
    {2681, "Get information fail!"},
    {2682, "Set time fail!"},
    {2683, "Set AID fail!"},
    {2684, "Set SID & AID fail!"},
    {2685, "Get SID fail!"},
    {2686, "Get PID fail!"},
    {2687, "Message send fail!"},
    {2801, "Function fail!"},
    {2802, "Invalid port handle!"},
    {2803, "Invalid file!"},
    {2804, "Open file fail!"},
    {2805, "Open port fail!"},
    {2806, "Memory space is insufficient!"},
    {2807, "Invalid function parameter!"},
    {2808, "MSG repeat register!"},
    {2809, "Function break!"},
    {2810, "Other function is working!"},
    {2811, "Invalid IP address!"},
    {2812, "The temporary buffer does not exist or close!"},
    {2850, "Data already exist in database!"},
    {2851, "JudgeParam parameter data does not exist in database!"},
    {2852, "File list data does not exist in database!"},
    {2853, "Package list data does not exist in database!"},
}};

}  // namespace

std::string ResultCodeText(ResultCode code) {
    for (const auto& [known, text] : kResultTexts) {
        if (known == code) return text;
    }
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "Unknow error code:%d", static_cast<int>(code));
    return buffer;
}

QString ResultCodeMessage(ResultCode code) { return QString::fromStdString(ResultCodeText(code)); }
