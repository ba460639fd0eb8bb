#include "Codes.h"
#include "Firmware.h"
#include "Operations.h"
#include "Session.h"

#include <cstring>
#include <string>

using namespace emu;

namespace {

constexpr std::size_t kIdentitySize = 20;

void FillIdentity(char* buffer, const std::string& text) {
    std::memset(buffer, 0, kIdentitySize);
    std::memcpy(buffer, text.data(), std::min(text.size(), kIdentitySize - 1));
}

std::string FreeOfDriveC(const Terminal& terminal) {
    const std::filesystem::path root = terminal.DriveFolder('C');
    return root.empty() ? std::string{} : std::to_string(FreeKB(terminal, 'C', root));
}

}  // namespace

int32_t TpGetInfo(uint32_t handle, char* model, char* firmware, char* serial, char* info4,
                  char* info5, char* info6, char* info7, char* info8) {
    std::optional<Terminal> terminal;
    if (const int32_t rc = BeginOperation(handle, "TpGetInfo", terminal); rc != kOk) return rc;
    char* buffers[] = {model, firmware, serial, info4, info5, info6, info7, info8};
    for (const char* buffer : buffers) {
        if (buffer == nullptr) return kBadParameter;
    }
    const std::string texts[] = {
        terminal->Model(), terminal->Firmware(), terminal->Serial(),      "EMU",
        __DATE__,          terminal->Port(),     FreeOfDriveC(*terminal), ""};
    for (std::size_t i = 0; i < std::size(buffers); ++i) FillIdentity(buffers[i], texts[i]);
    return kOk;
}

int32_t TpUpgradeFirmware(uint32_t handle, const char* imagePath, int32_t) {
    std::optional<Terminal> terminal;
    if (const int32_t rc = BeginOperation(handle, "TpUpgradeFirmware", terminal); rc != kOk) {
        return rc;
    }
    if (imagePath == nullptr) return kBadParameter;
    FirmwareHeader header;
    if (const int32_t rc = ReadFirmwareImage(imagePath, header); rc != kOk) return rc;
    if (!terminal->Model().starts_with(header.model)) return kFirmwareModel;
    return terminal->SetFirmware(header.version) ? kOk : kFirmwareWriteFailed;
}
