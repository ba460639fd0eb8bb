// Lays out the demo bench and the demo firmware images:
//   tarvik-demo-bench <bench folder> <documents folder>
// Only the demo's own terminal folders and its two images are replaced; everything else
// in both folders stays as it is.

#include "Firmware.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct DemoFile {
    const char* path;  // below the terminal folder; a trailing '/' makes a folder
    const char* content;
};

struct DemoTerminal {
    const char* folder;
    const char* ini;
    std::vector<DemoFile> files;
};

constexpr const char* kReadme =
    "Demo terminal of the Tarvik bench.\r\nFiles copied here stay until the bench is laid "
    "out again.\r\n";
constexpr const char* kProgram =
    "10 REM STOCK TAKING\r\n20 PRINT \"SCAN ITEM\"\r\n30 INPUT CODE$\r\n40 GOTO 20\r\n";
constexpr const char* kStock = "4006381333931,12\r\n5012345678900,3\r\n9780201379624,1\r\n";

// A serial line at 115200 baud moves about 11,500 bytes a second, USB about a megabyte, so
// the progress of a copy is seen.
const std::vector<DemoTerminal>& DemoTerminals() {
    static const std::vector<DemoTerminal> terminals = {
        {"demo-com3",
         "port=COM3\nmodel=TQ-3100\nfirmware=A00-1.10\nserial=10000042\n"
         "drives=C:2048 D:4096 E:1024\nunformatted=\noffline=0\nrate=11500\nfail=\n",
         {{"C/DATA/STOCK.DAT", kStock},
          {"C/README.TXT", kReadme},
          {"D/PROGRAM/MAIN.BAS", kProgram},
          {"D/LOOKUP/ITEMS.LKP", "4006381333931;PENCIL HB\r\n5012345678900;ERASER\r\n"},
          {"D/FONTS/", nullptr},
          {"E/BACKUP/", nullptr}}},
        {"demo-usb",
         "port=TQ-3100-0001\nmodel=TQ-3100\nfirmware=A00-1.10\nserial=10000077\n"
         "drives=C:2048 D:4096 E:2048\nunformatted=\noffline=0\nrate=1000000\nfail=\n",
         {{"C/DATA/ORDERS.DAT", "ORDER,ITEM,QTY\r\n1001,4006381333931,5\r\n"},
          {"C/README.TXT", kReadme},
          {"D/PROGRAM/MAIN.BAS", kProgram},
          {"D/LOOKUP/", nullptr},
          {"D/FONTS/", nullptr},
          {"E/", nullptr}}},
        {"demo-com4",
         "port=COM4\nmodel=TQ-2200\nfirmware=A00-0.90\nserial=20000013\n"
         "drives=C:1024 D:2048\nunformatted=\noffline=0\nrate=11500\nfail=\n",
         {{"C/DATA/STOCK.DAT", kStock},
          {"C/README.TXT", kReadme},
          {"D/PROGRAM/MAIN.BAS", kProgram},
          {"D/LOOKUP/", nullptr},
          {"D/FONTS/", nullptr}}},
        // Switched off: it is offered as a port but does not answer.
        {"demo-com5",
         "port=COM5\nmodel=TQ-3100\nfirmware=A00-1.10\nserial=10000099\n"
         "drives=C:2048 D:4096 E:1024\nunformatted=\noffline=1\nrate=11500\nfail=\n",
         {{"C/README.TXT", kReadme}}},
    };
    return terminals;
}

bool WriteBytes(const fs::path& path, const void* data, std::size_t size) {
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    return static_cast<bool>(out);
}

bool WriteText(const fs::path& path, const std::string& text) {
    return WriteBytes(path, text.data(), text.size());
}

bool LayOut(const fs::path& bench, const DemoTerminal& terminal) {
    const fs::path folder = bench / terminal.folder;
    std::error_code error;
    // remove_all takes away a symbolic link itself, never what it points to.
    fs::remove_all(folder, error);
    if (error || !fs::create_directories(folder, error)) return false;
    for (const DemoFile& file : terminal.files) {
        const std::string path = file.path;
        if (path.back() == '/') {
            fs::create_directories(folder / path, error);
            if (error) return false;
        } else if (!WriteText(folder / path, file.content)) {
            return false;
        }
    }
    // terminal.ini last: a half laid-out terminal is no terminal for the modules.
    return WriteText(folder / "terminal.ini", terminal.ini);
}

bool WriteFirmwareImages(const fs::path& documents) {
    const fs::path folder = documents / "Tarvik" / "firmware";
    const std::string payload = "TQ-3100 application firmware A00-1.20\n";
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(payload.data()),
                                              payload.size());
    const std::vector<std::uint8_t> good = emu::BuildFirmwareImage("TQ-3100", "A00-1.20", bytes);
    std::vector<std::uint8_t> damaged = good;
    damaged.back() ^= 0xFF;
    return WriteBytes(folder / "TQ-3100_A00-1.20.bin", good.data(), good.size()) &&
           WriteBytes(folder / "TQ-3100_damaged.bin", damaged.data(), damaged.size());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <bench folder> <documents folder>\n", argv[0]);
        return 2;
    }
    const fs::path bench = argv[1];
    std::error_code error;
    fs::create_directories(bench, error);
    for (const DemoTerminal& terminal : DemoTerminals()) {
        if (!LayOut(bench, terminal)) {
            std::fprintf(stderr, "%s: cannot lay out %s\n", argv[0],
                         (bench / terminal.folder).c_str());
            return 1;
        }
    }
    if (!WriteFirmwareImages(argv[2])) {
        std::fprintf(stderr, "%s: cannot write the firmware images below %s\n", argv[0], argv[2]);
        return 1;
    }
    return 0;
}
