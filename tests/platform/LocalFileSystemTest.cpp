#include "platform/LocalFileSystem.h"

#include "platform/WorkFolder.h"
#include "support/CaseName.h"
#include "support/ScriptedFileSystem.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <csignal>
#include <cstring>
#include <tuple>

namespace {

// Everything below a folder by relative path: a file's content, "<folder>", "-> target" for
// a link, "<other>" for the rest. Taken through Qt, not through the layer under test.
using Tree = QMap<QString, QByteArray>;

Tree Snapshot(const QString& root) {
    Tree tree;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        QByteArray& value = tree[QDir(root).relativeFilePath(info.filePath())];
        if (info.isSymLink()) {
            value = "-> " + QFile::encodeName(info.symLinkTarget());
        } else if (info.isDir()) {
            value = "<folder>";
        } else if (info.isFile()) {
            QFile file(info.filePath());
            value = file.open(QIODevice::ReadOnly) ? file.readAll() : "<unreadable>";
        } else {
            value = "<other>";
        }
    }
    return tree;
}

// `tree` with `from` and everything below it renamed to `to`.
Tree Renamed(const Tree& tree, const QString& from, const QString& to) {
    Tree renamed;
    for (auto it = tree.begin(); it != tree.end(); ++it) {
        const QString& key = it.key();
        const bool moves = key == from || key.startsWith(from + '/');
        renamed[moves ? to + key.mid(from.size()) : key] = it.value();
    }
    return renamed;
}

QByteArray ContentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class PcFileSystemTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(root_.isValid()); }

    QString At(const QString& relative) const { return root_.filePath(relative); }
    Tree Files() const { return Snapshot(root_.path()); }

    void Write(const QString& relative, const QByteArray& content) const {
        QDir().mkpath(QFileInfo(At(relative)).path());
        QFile file(At(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    void Folder(const QString& relative) const { ASSERT_TRUE(QDir().mkpath(At(relative))); }
    void Link(const QString& relative, const char* target) const {
        ASSERT_EQ(::symlink(target, QFile::encodeName(At(relative)).constData()), 0);
    }
    void Pipe(const QString& relative) const {
        ASSERT_EQ(::mkfifo(QFile::encodeName(At(relative)).constData(), 0644), 0);
    }

    // Files, folders, a link and a pipe for the operations to meet.
    void MakeBench() const {
        Write("a.txt", "alpha");
        Write("b.txt", "beta");
        Write("dirA/inner.txt", "inner");
        Folder("dirB");
        Link("link", "dirA");
        Pipe("pipe");
    }

    PcFileSystem& files_ = LocalFiles();
    QTemporaryDir root_;
};

TEST_F(PcFileSystemTest, ListMarksEveryKindOfEntryAndSkipsNone) {
    Write("plain.txt", "12345");
    Write(".hidden", "x");
    Folder("sub");
    Pipe("pipe");
    const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, QFile::encodeName(At("socket")).constData(),
                 sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(server);
    Link("link-to-folder", "sub");
    Link("link-to-file", "plain.txt");
    Link("dangling", "none");

    struct Expected {
        const char* name;
        bool folder, symbolicLink, hidden, system;
        qint64 size;
    };
    const Expected expected[] = {
        {"plain.txt", false, false, false, false, 5},
        {".hidden", false, false, true, false, 1},
        {"sub", true, false, false, false, 0},
        {"pipe", false, false, false, true, 0},
        {"socket", false, false, false, true, 0},
        {"link-to-folder", true, true, false, false, 0},
        {"link-to-file", false, true, false, false, 5},
        {"dangling", false, true, false, false, 0},
    };

    const auto listed = files_.List(root_.path());
    ASSERT_TRUE(listed);
    ASSERT_EQ(listed->size(), qsizetype(std::size(expected)));
    for (const Expected& want : expected) {
        SCOPED_TRACE(want.name);
        const auto entry = std::find_if(listed->begin(), listed->end(),
                                        [&](const PcEntry& e) { return e.name == want.name; });
        ASSERT_NE(entry, listed->end());
        EXPECT_EQ(entry->folder, want.folder);
        EXPECT_EQ(entry->symbolicLink, want.symbolicLink);
        EXPECT_EQ(entry->hidden, want.hidden);
        EXPECT_EQ(entry->system, want.system);
        EXPECT_EQ(entry->size, want.size);
        if (want.name == std::string("plain.txt")) {
            EXPECT_EQ(entry->modified, QFileInfo(At("plain.txt")).lastModified());
        }
    }
}

TEST_F(PcFileSystemTest, ListAnswersNoneForWhatIsNotAFolder) {
    Write("file.txt", "x");
    EXPECT_FALSE(files_.List(At("missing")));
    EXPECT_FALSE(files_.List(At("file.txt")));
    EXPECT_TRUE(files_.List(root_.path()));
}

TEST_F(PcFileSystemTest, StatDoesNotFollowTheLastLink) {
    Folder("sub");
    Link("link", "sub");

    const auto link = files_.Stat(At("link/"));
    ASSERT_TRUE(link);
    EXPECT_EQ(link->name, "link");
    EXPECT_TRUE(link->symbolicLink);
    EXPECT_TRUE(link->folder);

    const auto device = files_.Stat("/dev/null");
    ASSERT_TRUE(device);
    EXPECT_EQ(device->name, "null");
    EXPECT_TRUE(device->system);

    EXPECT_FALSE(files_.Stat(At("missing")));
}

struct CopyCase {
    const char* what;
    const char* from;
    const char* to;
    bool failIfExists;
    int code;
};
void PrintTo(const CopyCase& c, std::ostream* out) {
    *out << c.what;
}

class PcFileSystemCopy : public PcFileSystemTest, public ::testing::WithParamInterface<CopyCase> {};

// A copy either lands whole or leaves the folder exactly as it was, temporary files included.
TEST_P(PcFileSystemCopy, AppearsWholeOrNotAtAll) {
    MakeBench();
    const CopyCase& c = GetParam();
    Tree expected = Files();
    // A link is copied as the link it is: its snapshot value is its target.
    if (c.code == kPcSuccess)
        expected[c.to] = expected.contains(c.from) ? expected[c.from] : ContentOf(At(c.from));

    EXPECT_EQ(files_.CopyFile(At(c.from), At(c.to), c.failIfExists), c.code);
    EXPECT_EQ(Files(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PcFileSystemCopy,
    ::testing::Values(
        CopyCase{"to a new name", "a.txt", "c.txt", true, kPcSuccess},
        CopyCase{"into a folder", "a.txt", "dirB/a.txt", true, kPcSuccess},
        CopyCase{"through a folder link", "link/inner.txt", "c.txt", true, kPcSuccess},
        CopyCase{"a link as a link", "link", "c", true, kPcSuccess},
        CopyCase{"a link replacing a file", "link", "b.txt", false, kPcSuccess},
        CopyCase{"a link onto a file kept", "link", "b.txt", true, kPcFileExists},
        CopyCase{"onto a file kept", "a.txt", "b.txt", true, kPcFileExists},
        CopyCase{"onto a file replaced", "a.txt", "b.txt", false, kPcSuccess},
        CopyCase{"onto a folder", "a.txt", "dirB", false, kPcAccessDenied},
        CopyCase{"missing source", "none.txt", "c.txt", false, kPcFileNotFound},
        CopyCase{"source in a missing folder", "none/a.txt", "c.txt", false, kPcPathNotFound},
        CopyCase{"folder source", "dirA", "c.txt", false, kPcAccessDenied},
        CopyCase{"pipe source", "pipe", "c.txt", false, kPcAccessDenied},
        CopyCase{"into a missing folder", "a.txt", "none/c.txt", false, kPcPathNotFound},
        CopyCase{"into a file as folder", "a.txt", "b.txt/c.txt", false, kPcPathNotFound}),
    CaseName<CopyCase>);

TEST_F(PcFileSystemTest, CopyKeepsTheSourceModeAndModifiedTime) {
    Write("a.txt", "alpha");
    ASSERT_EQ(::chmod(QFile::encodeName(At("a.txt")).constData(), 0751), 0);
    const timespec times[2] = {{0, UTIME_OMIT}, {981173106, 250000000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(At("a.txt")).constData(), times, 0), 0);

    ASSERT_EQ(files_.CopyFile(At("a.txt"), At("c.txt"), true), kPcSuccess);
    const QFileInfo copy(At("c.txt"));
    EXPECT_EQ(copy.permissions(), QFileInfo(At("a.txt")).permissions());
    EXPECT_EQ(copy.lastModified().toMSecsSinceEpoch(), 981173106250);
}

// Sets a file size limit for its lifetime, so a write fails part-way as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        handler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, handler_);
    }

private:
    rlimit previous_{};
    void (*handler_)(int) = nullptr;
};

TEST_F(PcFileSystemTest, AFailedWriteLeavesTheTargetUntouchedAndNoTemporary) {
    Write("big", QByteArray(1 << 20, 'x'));
    Write("b.txt", "beta");
    const Tree before = Files();

    FileSizeLimit limit(64 * 1024);
    EXPECT_EQ(files_.CopyFile(At("big"), At("b.txt"), false), kPcGeneralFailure);
    EXPECT_EQ(files_.CopyFile(At("big"), At("c.txt"), false), kPcGeneralFailure);
    EXPECT_EQ(files_.WriteWholeFile(At("b.txt"), QByteArray(1 << 20, 'y')), kPcGeneralFailure);
    // A scratch file skips only the sync: it too appears whole or not at all.
    EXPECT_EQ(files_.WriteWholeFile(At("b.txt"), QByteArray(1 << 20, 'y'), Durability::Scratch),
              kPcGeneralFailure);
    EXPECT_EQ(files_.CopyFileRange(At("big"), 0, 1 << 20, At("c.txt"), {}, Durability::Scratch),
              kPcGeneralFailure);
    EXPECT_EQ(Files(), before);
}

// Every way a copy moves bytes (shared extents or a copy in the kernel, else its own loop)
// keeps its promises: every byte, whole or nothing, a link as itself.
class PcFileSystemCopyWay : public PcFileSystemTest, public ::testing::WithParamInterface<bool> {
protected:
    LocalFileSystem way_{LocalFileSystem::Options{.kernelCopy = GetParam()}};
};

TEST_P(PcFileSystemCopyWay, CopiesEveryByteLandsWholeOrNotAtAllAndNeverFollowsALink) {
    // Past one loop buffer and one step of the kernel's copy (whose space is taken ahead), not a
    // multiple of any block, with no two blocks alike.
    QByteArray content(11 * 1024 * 1024 + 4093, Qt::Uninitialized);
    for (qsizetype i = 0; i < content.size(); ++i) content[i] = char((i * 7919) >> 3);
    Write("big", content);
    Write("empty", "");
    Write("b.txt", "beta");
    Link("link", "big");

    ASSERT_EQ(way_.CopyFile(At("big"), At("copy"), true), kPcSuccess);
    EXPECT_EQ(ContentOf(At("copy")), content);
    ASSERT_EQ(way_.CopyFile(At("empty"), At("none"), true), kPcSuccess);
    EXPECT_TRUE(QFileInfo(At("none")).exists());
    EXPECT_EQ(QFileInfo(At("none")).size(), 0);
    ASSERT_EQ(way_.CopyFile(At("link"), At("link2"), true), kPcSuccess);
    EXPECT_EQ(QFileInfo(At("link2")).symLinkTarget(), At("big"));
    // A replaced link is replaced, not written through.
    ASSERT_EQ(way_.CopyFile(At("b.txt"), At("link2"), false), kPcSuccess);
    EXPECT_FALSE(QFileInfo(At("link2")).isSymLink());
    EXPECT_EQ(ContentOf(At("big")), content);

    const Tree before = Files();
    {
        FileSizeLimit limit(64 * 1024);
        EXPECT_EQ(way_.CopyFile(At("big"), At("b.txt"), false), kPcGeneralFailure);
        EXPECT_EQ(way_.CopyFile(At("big"), At("c.txt"), true), kPcGeneralFailure);
    }
    EXPECT_EQ(Files(), before);
}

// A folder's worth of files, past one wait for the disk, links among them: each lands whole
// under its name, each is told once, and the first failure or a stop ends the lot there.
TEST_P(PcFileSystemCopyWay, ManyFilesLandWholeAndAreEachToldOnceAndStopAtTheFirstFailure) {
    QList<std::pair<QString, QString>> copies;
    Tree expected;
    Folder("to");
    for (int i = 0; i < 150; ++i) {
        const QString name = QStringLiteral("F%1.DAT").arg(i, 3, 10, QChar('0'));
        const QByteArray content = QByteArray::number(i).repeated(1 + i * 37);
        Write("from/" + name, content);
        expected["to/" + name] = content;
        copies.append({At("from/" + name), At("to/" + name)});
    }
    Link("from/LINK", "F000.DAT");
    copies.insert(70, {At("from/LINK"), At("to/LINK")});
    expected["to/LINK"] = "-> " + QFile::encodeName(At("to/F000.DAT"));
    Write("to/F001.DAT", "replaced");
    expected["to"] = "<folder>";

    QList<qsizetype> asked;
    QMap<qsizetype, int> told;
    const auto copyAll = [&](qsizetype stopAt) {
        asked.clear();
        told.clear();
        way_.CopyFiles(
            copies,
            [&](qsizetype i) {
                asked << i;
                return i != stopAt;
            },
            [&](qsizetype i, int code) {
                EXPECT_FALSE(told.contains(i)) << i;
                told[i] = code;
            });
    };
    const auto copied = [&] {
        Tree tree;
        const Tree all = Files();
        for (auto it = all.begin(); it != all.end(); ++it)
            if (it.key().startsWith("to")) tree[it.key()] = it.value();
        return tree;
    };

    copyAll(-1);
    EXPECT_EQ(asked.size(), copies.size());
    EXPECT_EQ(told.size(), copies.size());
    EXPECT_EQ(told.keys(kPcSuccess).size(), copies.size());
    EXPECT_EQ(copied(), expected);

    // A stop before a file leaves it and the rest out; a failure tells that file and ends.
    QDir(At("to")).removeRecursively();
    Folder("to");
    copyAll(100);
    EXPECT_EQ(told.size(), 100);
    EXPECT_EQ(copied().size(), 101);
    QDir(At("to")).removeRecursively();
    Folder("to");
    QFile::remove(At("from/F120.DAT"));
    copyAll(-1);
    EXPECT_EQ(asked.size(), 122);
    EXPECT_EQ(told.size(), 122);
    EXPECT_EQ(told.value(121), kPcFileNotFound);
    EXPECT_EQ(copied().size(), 122);
    EXPECT_TRUE(copied().contains("to/F119.DAT"));
    EXPECT_FALSE(copied().contains("to/F121.DAT"));

    // A write that fails part-way leaves that file out, and no temporary of it.
    QDir(At("to")).removeRecursively();
    Folder("to");
    {
        FileSizeLimit limit(8 * 1024);
        copyAll(-1);
    }
    EXPECT_EQ(told.size(), 102);
    EXPECT_EQ(told.value(101), kPcGeneralFailure);
    Tree first = expected;
    first.removeIf([](auto it) { return it.key() >= "to/F100.DAT" && it.key() != "to/LINK"; });
    EXPECT_EQ(copied(), first);
}

INSTANTIATE_TEST_SUITE_P(, PcFileSystemCopyWay, ::testing::Bool(), [](const auto& info) {
    return std::string(info.param ? "InTheKernel" : "ThroughMemory");
});

// A copy killed part-way, in a child process, with unnamed files and with temporary names.
class PcFileSystemKilledCopy : public PcFileSystemTest, public ::testing::WithParamInterface<bool> {};

TEST_P(PcFileSystemKilledCopy, LeavesNoFileBehindOnceTheNextCopyIntoTheFolderStarts) {
    const bool unnamed = GetParam();
    Write("a.txt", "alpha");
    QFile big(At("big"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(qint64(4) << 30));
    big.close();
    Folder("target");
    const QByteArray target = QFile::encodeName(At("target"));

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        LocalFileSystem files(LocalFileSystem::Options{.unnamedFiles = unnamed});
        files.CopyFile(At("big"), At("target/BIG.DAT"), true);
        ::_exit(0);
    }
    // Killed once the child writes into the target folder.
    const QByteArray fds = "/proc/" + QByteArray::number(child) + "/fd/";
    bool writing = false;
    for (int attempt = 0; attempt < 10000 && !writing; ++attempt) {
        for (int fd = 3; fd < 64 && !writing; ++fd) {
            char link[PATH_MAX];
            const ssize_t size =
                ::readlink((fds + QByteArray::number(fd)).constData(), link, sizeof link);
            writing = size > 0 && QByteArray(link, size).startsWith(target + '/');
        }
        if (!writing) ::usleep(1000);
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ASSERT_TRUE(writing) << "the copy never began";

    const auto entries = [&] {
        return QDir(At("target")).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                            QDir::NoDotAndDotDot);
    };
    if (unnamed) {
        EXPECT_TRUE(entries().isEmpty());
    }
    LocalFileSystem files(LocalFileSystem::Options{.unnamedFiles = unnamed});
    EXPECT_EQ(files.CopyFile(At("a.txt"), At("target/A.TXT"), true), kPcSuccess);
    EXPECT_EQ(entries(), QStringList{"A.TXT"});
}

INSTANTIATE_TEST_SUITE_P(, PcFileSystemKilledCopy, ::testing::Bool(),
                         [](const auto& info) {
                             return std::string(info.param ? "Unnamed" : "TemporaryName");
                         });

bool Refused(const char* path, int flags) {
    const int fd = ::open(path, flags, 0600);
    if (fd < 0) return errno == EACCES;
    ::close(fd);
    if (flags & O_CREAT) ::unlink(path);
    return false;
}

// Root passes permission bits, but the kernel's own files still refuse it.
TEST_F(PcFileSystemTest, AccessDeniedForAnUnreadableSourceOrAnUnwritableFolder) {
    Write("a.txt", "alpha");
    const Tree before = Files();
    const char* unreadable = "/proc/sys/vm/drop_caches";
    if (!Refused(unreadable, O_RDONLY) ||
        !Refused("/sys/tarvik-probe", O_WRONLY | O_CREAT | O_EXCL))
        GTEST_SKIP() << "this system lets the test read or create kernel files";

    QByteArray content = "stale";
    EXPECT_EQ(files_.ReadWholeFile(unreadable, content), kPcAccessDenied);
    EXPECT_TRUE(content.isEmpty());
    EXPECT_EQ(files_.CopyFile(unreadable, At("c.txt"), false), kPcAccessDenied);
    EXPECT_EQ(files_.CopyFile(At("a.txt"), "/sys/tarvik-copy", false), kPcAccessDenied);
    EXPECT_EQ(files_.WriteWholeFile("/sys/tarvik-write", "x"), kPcAccessDenied);
    EXPECT_EQ(Files(), before);
    EXPECT_TRUE(QDir("/sys").entryList({"*tarvik*"}, QDir::AllEntries | QDir::Hidden).isEmpty());
}

struct MoveCase {
    const char* what;
    const char* from;
    const char* to;
    int code;
};
void PrintTo(const MoveCase& c, std::ostream* out) {
    *out << c.what;
}

// Each case runs with the kernel's no-replace rename and with the fallback used without it.
class PcFileSystemMove : public PcFileSystemTest,
                         public ::testing::WithParamInterface<std::tuple<bool, MoveCase>> {};

std::string MoveCaseName(const ::testing::TestParamInfo<PcFileSystemMove::ParamType>& info) {
    const auto& [noReplaceRename, c] = info.param;
    return (noReplaceRename ? "rename_" : "link_") +
           CaseName(::testing::TestParamInfo<MoveCase>(c, info.index));
}

TEST_P(PcFileSystemMove, NeverReplacesAnything) {
    MakeBench();
    const auto& [noReplaceRename, c] = GetParam();
    LocalFileSystem files(LocalFileSystem::Options{.noReplaceRename = noReplaceRename});
    const Tree before = Files();

    EXPECT_EQ(files.MoveFile(At(c.from), At(c.to)), c.code);
    EXPECT_EQ(Files(), c.code == kPcSuccess ? Renamed(before, c.from, c.to) : before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PcFileSystemMove,
    ::testing::Combine(
        ::testing::Bool(),
        ::testing::Values(MoveCase{"file to a new name", "a.txt", "c.txt", kPcSuccess},
                          MoveCase{"file into a folder", "a.txt", "dirB/a.txt", kPcSuccess},
                          MoveCase{"folder to a new name", "dirA", "dirC", kPcSuccess},
                          MoveCase{"link not what it names", "link", "link2", kPcSuccess},
                          MoveCase{"file onto a file", "a.txt", "b.txt", kPcAlreadyExists},
                          MoveCase{"folder onto an empty folder", "dirA", "dirB", kPcAlreadyExists},
                          MoveCase{"folder onto a file", "dirA", "b.txt", kPcAlreadyExists},
                          MoveCase{"file onto a folder", "a.txt", "dirB", kPcAlreadyExists},
                          MoveCase{"missing source", "none.txt", "c.txt", kPcFileNotFound},
                          MoveCase{"into a missing folder", "a.txt", "none/c.txt",
                                   kPcPathNotFound})),
    MoveCaseName);

TEST_F(PcFileSystemTest, MoveToAnotherFileSystemCopiesFilesButNotFolders) {
    QTemporaryDir other("/dev/shm/tarvik-test-XXXXXX");
    struct stat here, there;
    if (!other.isValid() || ::stat(QFile::encodeName(root_.path()).constData(), &here) != 0 ||
        ::stat(QFile::encodeName(other.path()).constData(), &there) != 0 ||
        here.st_dev == there.st_dev) {
        GTEST_SKIP() << "no second file system in /dev/shm";
    }
    MakeBench();
    const timespec times[2] = {{0, UTIME_OMIT}, {981173106, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(At("a.txt")).constData(), times, 0), 0);
    ASSERT_TRUE(QFile(other.filePath("taken")).open(QIODevice::WriteOnly));
    Tree hereBefore = Files();
    const Tree thereBefore = Snapshot(other.path());

    EXPECT_EQ(files_.MoveFile(At("dirA"), other.filePath("dirA")), kPcNotSameDevice);
    EXPECT_EQ(files_.MoveFile(At("b.txt"), other.filePath("taken")), kPcAlreadyExists);
    EXPECT_EQ(Files(), hereBefore);
    EXPECT_EQ(Snapshot(other.path()), thereBefore);

    // A link travels as itself, to the same target.
    EXPECT_EQ(files_.MoveFile(At("link"), other.filePath("link")), kPcSuccess);
    EXPECT_EQ(QFileInfo(other.filePath("link")).symLinkTarget(), other.filePath("dirA"));
    hereBefore.remove("link");
    EXPECT_EQ(Files(), hereBefore);

    EXPECT_EQ(files_.MoveFile(At("a.txt"), other.filePath("a.txt")), kPcSuccess);
    Tree moved = hereBefore;
    moved.remove("a.txt");
    EXPECT_EQ(Files(), moved);
    EXPECT_EQ(ContentOf(other.filePath("a.txt")), "alpha");
    EXPECT_EQ(QFileInfo(other.filePath("a.txt")).lastModified().toSecsSinceEpoch(), 981173106);
}

enum class Change { None, Removes, CreatesFolder };

struct PathCase {
    const char* what;
    int (PcFileSystem::*op)(const QString&);
    const char* path;
    int code;
    Change change;
};
void PrintTo(const PathCase& c, std::ostream* out) {
    *out << c.what;
}

class PcFileSystemPathOperation : public PcFileSystemTest,
                                  public ::testing::WithParamInterface<PathCase> {};

TEST_P(PcFileSystemPathOperation, AnswersAndChangesOnlyThatPath) {
    MakeBench();
    const PathCase& c = GetParam();
    Tree expected = Files();
    if (c.change == Change::Removes) expected.remove(c.path);
    if (c.change == Change::CreatesFolder) expected[c.path] = "<folder>";

    EXPECT_EQ((files_.*c.op)(At(c.path)), c.code);
    EXPECT_EQ(Files(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PcFileSystemPathOperation,
    ::testing::Values(
        PathCase{"delete a file", &PcFileSystem::DeleteFile, "a.txt", kPcSuccess, Change::Removes},
        PathCase{"delete a link to a folder", &PcFileSystem::DeleteFile, "link", kPcSuccess,
                 Change::Removes},
        PathCase{"delete a folder", &PcFileSystem::DeleteFile, "dirB", kPcAccessDenied},
        PathCase{"delete a missing file", &PcFileSystem::DeleteFile, "none.txt", kPcFileNotFound},
        PathCase{"delete in a missing folder", &PcFileSystem::DeleteFile, "none/a.txt",
                 kPcPathNotFound},
        PathCase{"create a folder", &PcFileSystem::CreateFolder, "dirC", kPcSuccess,
                 Change::CreatesFolder},
        PathCase{"create an existing folder", &PcFileSystem::CreateFolder, "dirB",
                 kPcAlreadyExists},
        PathCase{"create over a file", &PcFileSystem::CreateFolder, "a.txt", kPcAlreadyExists},
        PathCase{"create in a missing folder", &PcFileSystem::CreateFolder, "none/dirC",
                 kPcPathNotFound},
        PathCase{"remove an empty folder", &PcFileSystem::RemoveFolder, "dirB", kPcSuccess,
                 Change::Removes},
        PathCase{"remove a full folder", &PcFileSystem::RemoveFolder, "dirA", kPcFolderNotEmpty},
        PathCase{"remove a link to a folder", &PcFileSystem::RemoveFolder, "link", kPcAccessDenied},
        PathCase{"remove a link to a folder with a slash", &PcFileSystem::RemoveFolder, "link/",
                 kPcAccessDenied},
        PathCase{"remove a file", &PcFileSystem::RemoveFolder, "a.txt", kPcAccessDenied},
        PathCase{"remove a missing folder", &PcFileSystem::RemoveFolder, "none", kPcFileNotFound}),
    CaseName<PathCase>);

struct ReadCase {
    const char* what;
    const char* path;
    int code;
    const char* content;
};
void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << c.what;
}

class PcFileSystemRead : public PcFileSystemTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(PcFileSystemRead, AnswersTheWholeContentOrNothing) {
    MakeBench();
    QByteArray content = "stale";
    EXPECT_EQ(files_.ReadWholeFile(At(GetParam().path), content), GetParam().code);
    EXPECT_EQ(content, GetParam().content);

    // A part: at most the bytes asked for, from the offset, and the whole file's size.
    const QByteArray whole = GetParam().content;
    qint64 size = -1;
    content = "stale";
    EXPECT_EQ(files_.ReadFilePart(At(GetParam().path), 1, 3, content, size), GetParam().code);
    EXPECT_EQ(content, whole.mid(1, 3));
    EXPECT_EQ(size, whole.size());
    EXPECT_EQ(files_.ReadFilePart(At(GetParam().path), 4, 100, content, size), GetParam().code);
    EXPECT_EQ(content, whole.mid(4));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PcFileSystemRead,
    ::testing::Values(ReadCase{"a file", "a.txt", kPcSuccess, "alpha"},
                      ReadCase{"through a folder link", "link/inner.txt", kPcSuccess, "inner"},
                      ReadCase{"a missing file", "none.txt", kPcFileNotFound, ""},
                      ReadCase{"in a missing folder", "none/a.txt", kPcPathNotFound, ""},
                      ReadCase{"a folder", "dirA", kPcAccessDenied, ""},
                      ReadCase{"a pipe", "pipe", kPcAccessDenied, ""}),
    CaseName<ReadCase>);

struct WriteCase {
    const char* what;
    const char* path;
    int code;
};
void PrintTo(const WriteCase& c, std::ostream* out) {
    *out << c.what;
}

class PcFileSystemWrite : public PcFileSystemTest,
                          public ::testing::WithParamInterface<WriteCase> {};

TEST_P(PcFileSystemWrite, ReplacesWholeOrLeavesAsItWas) {
    MakeBench();
    Tree expected = Files();
    if (GetParam().code == kPcSuccess) expected[GetParam().path] = "new content";

    EXPECT_EQ(files_.WriteWholeFile(At(GetParam().path), "new content"), GetParam().code);
    EXPECT_EQ(Files(), expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, PcFileSystemWrite,
                         ::testing::Values(WriteCase{"a new file", "c.txt", kPcSuccess},
                                           WriteCase{"over a file", "b.txt", kPcSuccess},
                                           WriteCase{"into a missing folder", "none/c.txt",
                                                     kPcPathNotFound},
                                           WriteCase{"onto a folder", "dirB", kPcAccessDenied},
                                           WriteCase{"onto a pipe", "pipe", kPcAccessDenied}),
                         CaseName<WriteCase>);

TEST_F(PcFileSystemTest, WriteKeepsTheModeAndALinkToTheFile) {
    Write("b.txt", "beta");
    ASSERT_EQ(::chmod(QFile::encodeName(At("b.txt")).constData(), 0640), 0);
    Link("file-link", "b.txt");

    ASSERT_EQ(files_.WriteWholeFile(At("file-link"), "new content"), kPcSuccess);
    EXPECT_EQ(ContentOf(At("b.txt")), "new content");
    EXPECT_TRUE(QFileInfo(At("file-link")).isSymLink());
    EXPECT_EQ(QFileInfo(At("b.txt")).permissions(), QFile::ReadOwner | QFile::WriteOwner |
                                                        QFile::ReadUser | QFile::WriteUser |
                                                        QFile::ReadGroup);
}

TEST_F(PcFileSystemTest, ARangeCopyGoesThroughTheFilterByChunkAndLandsWholeOrNotAtAll) {
    QByteArray big(2 * kCopyChunkBytes + 17, Qt::Uninitialized);
    for (qsizetype i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i % 253);
    Write("big", big);
    Write("b.txt", "beta");
    const qint64 size = big.size() - 10;
    QList<qint64> offsets;
    const ChunkFilter invert = [&](char* bytes, qsizetype count, qint64 at) {
        offsets << at;
        for (qsizetype i = 0; i < count; ++i) bytes[i] = static_cast<char>(~bytes[i]);
        return kPcSuccess;
    };
    ASSERT_EQ(files_.CopyFileRange(At("big"), 3, size, At("b.txt"), invert), kPcSuccess);
    QByteArray expected = big.mid(3, size);
    for (char& byte : expected) byte = static_cast<char>(~byte);
    EXPECT_EQ(ContentOf(At("b.txt")), expected);
    EXPECT_EQ(offsets, (QList<qint64>{0, kCopyChunkBytes, 2 * kCopyChunkBytes}));

    // Past the source's end, a chunk that fails part-way, or a filter that stops it: the
    // target stays as it was and no temporary file is left.
    Write("b.txt", "beta");
    const Tree before = Files();
    EXPECT_EQ(files_.CopyFileRange(At("big"), 11, size, At("b.txt")), kPcHandleEof);
    EXPECT_EQ(files_.CopyFileRange(At("big"), 0, size, At("c.txt"),
                                   [](char*, qsizetype, qint64 at) {
                                       return at > 0 ? kPcAccessDenied : kPcSuccess;
                                   }),
              kPcAccessDenied);
    ScriptedFileSystem scripted;
    scripted.Fail(ScriptedFileSystem::Operation::CopyChunk, "/big", kPcDiskFull, 2);
    EXPECT_EQ(scripted.CopyFileRange(At("big"), 0, size, At("b.txt")), kPcDiskFull);
    EXPECT_EQ(scripted.calls.filter("CopyChunk").size(), 3);
    EXPECT_EQ(Files(), before);
}

// A run killed part-way leaves its work folder; the next start removes it, but never the work
// folder of a run that still goes on, nor anything else of the data folder.
TEST_F(PcFileSystemTest, StaleWorkFoldersOfEndedRunsGoAtStartUp) {
    const pid_t ended = ::fork();
    if (ended == 0) ::_exit(0);
    ASSERT_GT(ended, 0);
    ::waitpid(ended, nullptr, 0);
    const QString stale = QStringLiteral(".tarvik-work-%1-AbCdEfGh").arg(ended);
    const QString running = QStringLiteral(".tarvik-work-%1-AbCdEfGh").arg(::getpid());
    for (const QString& folder : {stale, running, QStringLiteral("KEEP")})
        Write(folder + "/SHOP.tmp", "x");

    RemoveStaleWorkFolders(files_, root_.path());

    EXPECT_EQ(QDir(root_.path()).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{running, "KEEP"}));
}

TEST_F(PcFileSystemTest, ScriptedFailuresStartAfterTheGivenCallsAndPassOthersThrough) {
    using Op = ScriptedFileSystem::Operation;
    Write("a.txt", "alpha");
    Folder("dest");
    ScriptedFileSystem files;
    files.Fail(Op::CopyFile, "/dest/", kPcDiskFull, 2);
    files.Fail(Op::List, "/dest", kPcAccessDenied);
    files.Fail(Op::ReadWholeFile, "/dest/", kPcAccessDenied);

    EXPECT_EQ(files.CopyFile(At("a.txt"), At("dest/1"), false), kPcSuccess);
    EXPECT_EQ(files.CopyFile(At("a.txt"), At("dest/2"), false), kPcSuccess);
    EXPECT_EQ(files.CopyFile(At("a.txt"), At("dest/3"), false), kPcDiskFull);
    EXPECT_EQ(files.CopyFile(At("a.txt"), At("dest/4"), false), kPcDiskFull);
    EXPECT_EQ(files.CopyFile(At("a.txt"), At("c.txt"), false), kPcSuccess);
    EXPECT_FALSE(files.List(At("dest")));
    EXPECT_TRUE(files.List(root_.path()));
    QByteArray content;
    EXPECT_EQ(files.ReadWholeFile(At("dest/1"), content), kPcAccessDenied);
    EXPECT_EQ(files.ReadWholeFile(At("c.txt"), content), kPcSuccess);
    EXPECT_EQ(content, "alpha");

    EXPECT_EQ(Files().keys(), (QStringList{"a.txt", "c.txt", "dest", "dest/1", "dest/2"}));
    const QString a = At("a.txt");
    EXPECT_EQ(files.calls, (QStringList{
                               "CopyFile " + a + " -> " + At("dest/1"),
                               "CopyFile " + a + " -> " + At("dest/2"),
                               "CopyFile " + a + " -> " + At("dest/3"),
                               "CopyFile " + a + " -> " + At("dest/4"),
                               "CopyFile " + a + " -> " + At("c.txt"),
                               "List " + At("dest"),
                               "List " + root_.path(),
                               "ReadWholeFile " + At("dest/1"),
                               "ReadWholeFile " + At("c.txt"),
                           }));
}

}  // namespace
