// Writes a firmware image that the stand-in accepts for terminals of <model>.

#include "Firmware.h"

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <model> <version> <out.bin>\n", argv[0]);
        return 2;
    }
    const std::string payload = std::string("emulated firmware ") + argv[2] + "\n";
    const auto image = emu::BuildFirmwareImage(
        argv[1], argv[2], {reinterpret_cast<const std::uint8_t*>(payload.data()), payload.size()});
    emu::FirmwareHeader header;
    if (emu::ParseFirmwareImage(image, header) != 0) {
        std::fprintf(stderr, "%s: model and version must be words of printable ASCII\n", argv[0]);
        return 2;
    }
    std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(image.data()),
              static_cast<std::streamsize>(image.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[3]);
        return 1;
    }
    return 0;
}
