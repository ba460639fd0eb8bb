#include "link/ModuleSearch.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Must match where packaging/CMakeLists.txt installs the modules, relative to bin/.
constexpr const char* kInstalledModuleFolder = "../lib/tarvik";

std::string Normal(const fs::path& path) {
    std::string folder = path.lexically_normal().string();
    // "/usr/bin/" and "/usr/bin" are one folder, and the message shows it once.
    if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

}  // namespace

std::vector<std::string> ModuleSearchFolders(const std::string& executableFolder) {
    const fs::path beside(executableFolder);
    return {Normal(beside), Normal(beside / kInstalledModuleFolder)};
}

std::string FolderWithModules(const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) {
        std::error_code error;
        if (fs::is_regular_file(fs::path(folder) / "libterminalprotocol.so", error)) return folder;
    }
    return {};
}

std::string NoTerminalLibraryMessage(const std::vector<std::string>& searched) {
    std::string message = "No terminal library found in ";
    for (std::size_t i = 0; i < searched.size(); ++i) {
        if (i > 0) message += i + 1 == searched.size() ? " or " : ", ";
        message += searched[i];
    }
    return message;
}
