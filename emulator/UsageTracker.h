#pragma once

#include "DriveTree.h"

#include <filesystem>

namespace emu {

// The drive's usage exactly as MeasureDrive counts it, without walking the whole drive on
// every call: the counts are kept between calls, and the kernel's notices of change say
// which entries to look at again, whoever changed them. A drive on a file system whose
// notices cannot be trusted (network, FUSE) is measured on every call.
DriveUsage CurrentUsage(const std::filesystem::path& driveRoot);

}  // namespace emu
