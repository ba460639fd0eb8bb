#include "BenchFixture.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <future>
#include <set>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

void Write(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

std::string Read(const fs::path& path) {
    std::ostringstream content;
    content << std::ifstream(path, std::ios::binary).rdbuf();
    return content.str();
}

namespace {

void* Load(const char* path) {
    void* module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) throw std::runtime_error(dlerror());
    return module;
}

template <typename Function>
void Take(Function& target, void* address) {
    if (address == nullptr) throw std::runtime_error("missing operation");
    target = reinterpret_cast<Function>(address);
}

// Every entry below a folder with its content, to see that nothing there changed.
std::string Snapshot(const fs::path& root) {
    std::vector<std::string> lines;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        std::string line = fs::relative(entry.path(), root).string();
        if (entry.is_regular_file()) line += " = " + Read(entry.path());
        lines.push_back(line);
    }
    std::sort(lines.begin(), lines.end());
    std::string all;
    for (const auto& line : lines) all += line + "\n";
    return all;
}

}  // namespace

const Module& Module::Get() {
    static const Module module = [] {
        Module m{};
        void* protocol = Load(TERMINALPROTOCOL_MODULE);
        void* communication = Load(COMMUNICATION_MODULE);
        auto proc = reinterpret_cast<void* (*)(int)>(dlsym(protocol, "TerminalProtocolProc"));
        auto comm = reinterpret_cast<void* (*)(int)>(dlsym(communication, "CommunicationProc"));
        Take(m.TpOpen, proc(101));
        Take(m.TpClose, proc(102));
        Take(m.TpUsbCount, proc(105));
        Take(m.TpUsbNameLength, proc(106));
        Take(m.TpUsbName, proc(107));
        Take(m.TpDiskInfo, proc(201));
        Take(m.TpListDir, proc(202));
        Take(m.TpFormatDisk, proc(203));
        Take(m.TpMakeDir, proc(204));
        Take(m.TpRemoveDir, proc(205));
        Take(m.TpRename, proc(206));
        Take(m.TpDeleteFile, proc(207));
        Take(m.TpGetFile, proc(208));
        Take(m.TpPutFile, proc(209));
        Take(m.TpGetInfo, proc(302));
        Take(m.TpUpgradeFirmware, proc(308));
        Take(m.WatchFolder, dlsym(protocol, "TerminalProtocolWatchFolder"));
        Take(m.CommPortCount, comm(4));
        Take(m.CommPortName, comm(6));
        return m;
    }();
    return module;
}

int32_t CallOnPipe(const fs::path& pipe, const std::function<int32_t()>& call) {
    fs::create_directories(pipe.parent_path());
    if (::mkfifo(pipe.c_str(), 0600) != 0) throw std::runtime_error("cannot make a pipe");
    std::packaged_task<int32_t()> task(call);
    std::future<int32_t> result = task.get_future();
    std::thread worker(std::move(task));
    if (result.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        ADD_FAILURE() << "the call waits on the pipe " << pipe;
        // A reader blocked in open is let go once a writer opens the other end.
        do {
            const int writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (writer >= 0) ::close(writer);
        } while (result.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready);
    }
    worker.join();
    return result.get();
}

bool IsKnownResultCode(int32_t code) {
    static const std::set<int32_t> known = [] {
        std::set<int32_t> codes = {2509, 2602, 2850, 2851, 2852, 2853};
        for (int32_t c = 2616; c <= 2631; ++c) codes.insert(c);
        for (int32_t c = 2648; c <= 2657; ++c) codes.insert(c);
        for (int32_t c = 2680; c <= 2687; ++c) codes.insert(c);
        for (int32_t c = 2801; c <= 2812; ++c) codes.insert(c);
        return codes;
    }();
    return known.count(code) != 0;
}

void BenchTest::SetUp() {
    std::string pattern = (fs::temp_directory_path() / "tarvik-emu-XXXXXX").string();
    ASSERT_NE(nullptr, mkdtemp(pattern.data()));
    base_ = pattern;
    bench_ = base_ / "bench";
    outside_ = base_ / "outside";
    Write(outside_ / "SECRET.TXT", "keep me");
    fs::create_directories(outside_ / "C" / "DATA");
    outsideBefore_ = Snapshot(outside_);
    fs::create_directories(bench_);
    setenv("TARVIK_TERMINALS", bench_.c_str(), 1);
}

void BenchTest::TearDown() {
    EXPECT_EQ(outsideBefore_, Snapshot(outside_)) << "a folder beside the bench changed";
    unsetenv("TARVIK_TERMINALS");
    fs::remove_all(base_);
}

void LinkedTerminalTest::OpenTerminal(const std::string& iniLines) {
    AddTerminal("t1", iniLines);
    handle_ = OpenCom(3);
    ASSERT_NE(0u, handle_);
}

void LinkedTerminalTest::TearDown() {
    tp.TpClose(handle_);
    BenchTest::TearDown();
}

void BenchTest::AddTerminal(const std::string& folder, const std::string& iniLines) {
    Write(bench_ / folder / "terminal.ini", "serial=" + folder + "\n" + iniLines);
}

std::string BenchTest::IniValue(const std::string& folder, const std::string& key) const {
    std::istringstream ini(Read(bench_ / folder / "terminal.ini"));
    for (std::string line; std::getline(ini, line);) {
        if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    }
    return "<absent>";
}

uint32_t BenchTest::OpenCom(int number) {
    return tp.TpOpen(1, number, 0, 6, 0, 0, 0, 1, 0);
}

std::string BenchTest::TerminalOf(uint32_t handle) const {
    char buffers[8][20] = {};
    if (handle == 0 || tp.TpGetInfo(handle, buffers[0], buffers[1], buffers[2], buffers[3],
                                    buffers[4], buffers[5], buffers[6], buffers[7]) != 0) {
        return "";
    }
    return buffers[2];
}
