#include "platform/Trash.h"

#include "support/CaseName.h"

#include <gtest/gtest.h>
#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>

namespace {

namespace fs = std::filesystem;

// Everything below a folder by relative path: a file's content, "<folder>", or "-> target" as
// the link holds it, never looking through a link.
using Tree = QMap<QString, QByteArray>;

Tree Snapshot(const QString& root) {
    Tree tree;
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(root.toStdString(), error)) {
        const QString path = QString::fromStdString(entry.path().string());
        QByteArray& value = tree[QDir(root).relativeFilePath(path)];
        if (entry.is_symlink()) {
            value = "-> " + QByteArray::fromStdString(fs::read_symlink(entry.path()).string());
        } else if (entry.is_directory()) {
            value = "<folder>";
        } else {
            QFile file(path);
            value = file.open(QIODevice::ReadOnly) ? file.readAll() : "<unreadable>";
        }
    }
    return tree;
}

// Moves `key` and everything below it out of `tree`, re-rooted at `as`.
Tree Take(Tree& tree, const QString& key, const QString& as) {
    Tree taken;
    for (auto it = tree.begin(); it != tree.end();) {
        if (it.key() == key || it.key().startsWith(key + '/')) {
            taken[as + it.key().mid(key.size())] = it.value();
            it = tree.erase(it);
        } else {
            ++it;
        }
    }
    return taken;
}

void Write(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

void Link(const QString& path, const QString& target) {
    QDir().mkpath(QFileInfo(path).path());
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()), 0);
}

struct TrashInfo {
    QByteArray path;  // as written, still percent-encoded
    QDateTime deleted;
};

std::optional<TrashInfo> ReadInfo(const QString& file) {
    QFile info(file);
    if (!info.open(QIODevice::ReadOnly)) return std::nullopt;
    const QList<QByteArray> lines = info.readAll().split('\n');
    if (lines.size() != 4 || lines[0] != "[Trash Info]" || !lines[1].startsWith("Path=") ||
        !lines[2].startsWith("DeletionDate=") || !lines[3].isEmpty())
        return std::nullopt;
    const QDateTime deleted =
        QDateTime::fromString(QString::fromLatin1(lines[2].mid(13)), "yyyy-MM-dd'T'HH:mm:ss");
    if (!deleted.isValid()) return std::nullopt;
    return TrashInfo{lines[1].mid(5), deleted};
}

int ModeOf(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

// Restores an environment variable the test changes.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : name_(name), old_(qgetenv(name)), was_(qEnvironmentVariableIsSet(name)) {
        qputenv(name, value);
        ::tzset();
    }
    ~ScopedEnv() {
        if (was_) qputenv(name_, old_);
        else qunsetenv(name_);
        ::tzset();
    }

private:
    const char* name_;
    QByteArray old_;
    bool was_;
};

class TrashTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(root_.isValid()); }

    // Under a real path, so the Path an info file holds can be compared as text.
    QString At(const QString& relative) const {
        return QFileInfo(root_.path()).canonicalFilePath() + '/' + relative;
    }
    QString Home() const { return At("data/share/Trash"); }

    QTemporaryDir root_;
    // Its parents do not exist yet: the trash makes them.
    ScopedEnv dataHome_{"XDG_DATA_HOME", QFile::encodeName(At("data/share"))};
    // Local time far from UTC tells the two apart in the deletion date.
    ScopedEnv zone_{"TZ", "XYZ-5:30"};
};

struct EntryCase {
    const char* what;
    std::function<void(const QString& work)> make;
    const char* trashed;   // what MoveToTrash is given, relative to the work folder
    const char* original;  // the entry's real location, relative to the work folder
};

class TrashEntryTest : public TrashTest, public ::testing::WithParamInterface<EntryCase> {};

TEST_P(TrashEntryTest, GoesWholeToTheHomeTrashWithItsOriginalPath) {
    const EntryCase& c = GetParam();
    const QString work = At("work");
    c.make(work);
    Tree rest = Snapshot(work);
    const QString name = QFileInfo(c.original).fileName();
    const Tree moved = Take(rest, c.original, name);
    ASSERT_FALSE(moved.isEmpty());

    const TrashOutcome outcome = MoveToTrash(work + '/' + c.trashed);
    ASSERT_EQ(outcome.result, TrashResult::Moved) << outcome.error;

    EXPECT_EQ(Snapshot(work), rest);
    EXPECT_EQ(Snapshot(Home() + "/files"), moved);
    EXPECT_EQ(QDir(Home() + "/info").entryList(QDir::Files | QDir::Hidden),
              QStringList{name + ".trashinfo"});
    const auto info = ReadInfo(Home() + "/info/" + name + ".trashinfo");
    ASSERT_TRUE(info);
    EXPECT_EQ(QFile::decodeName(QByteArray::fromPercentEncoding(info->path)), work + '/' + c.original);
    EXPECT_FALSE(info->path.contains(' '));
    EXPECT_LE(qAbs(info->deleted.secsTo(QDateTime::currentDateTime())), 60);
    for (const QString& folder : {Home(), Home() + "/files", Home() + "/info"})
        EXPECT_EQ(ModeOf(folder), 0700) << qPrintable(folder);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, TrashEntryTest,
    ::testing::Values(
        EntryCase{"file", [](const QString& w) { Write(w + "/a b%41.txt", "alpha"); }, "a b%41.txt",
                  "a b%41.txt"},
        EntryCase{"folder with content",
                  [](const QString& w) {
                      Write(w + "/dir %41/inner.txt", "inner");
                      Write(w + "/dir %41/sub/deep.txt", "deep");
                      Link(w + "/dir %41/sub/up", "..");
                  },
                  "dir %41", "dir %41"},
        EntryCase{"link to a folder",
                  [](const QString& w) {
                      Write(w + "/target/kept.txt", "kept");
                      Link(w + "/link", "target");
                  },
                  "link", "link"},
        EntryCase{"link to a folder named with a final slash",
                  [](const QString& w) {
                      Write(w + "/target/kept.txt", "kept");
                      Link(w + "/link", "target");
                  },
                  "link/", "link"},
        EntryCase{"dangling link", [](const QString& w) { Link(w + "/gone", "nowhere"); }, "gone", "gone"},
        EntryCase{"file reached through a linked folder",
                  [](const QString& w) {
                      Write(w + "/real/f.txt", "f");
                      Link(w + "/alias", "real");
                  },
                  "alias/f.txt", "real/f.txt"}),
    CaseName<EntryCase>);

struct TakenCase {
    const char* what;
    bool earlierEntry;  // an entry of the same name trashed before, with its info
    bool orphanFile;    // files/x.txt without info
    bool orphanInfo;    // info/x.txt.trashinfo without file
};

class TrashTakenNameTest : public TrashTest, public ::testing::WithParamInterface<TakenCase> {};

TEST_P(TrashTakenNameTest, NextEntryOfTheNameTakesAFreeOneAndKeepsBoth) {
    const TakenCase& c = GetParam();
    if (c.earlierEntry) {
        Write(At("one/x.txt"), "first");
        ASSERT_EQ(MoveToTrash(At("one/x.txt")).result, TrashResult::Moved);
    }
    for (const char* part : {"/files", "/info"}) ASSERT_TRUE(QDir().mkpath(Home() + part));
    if (c.orphanFile) Write(Home() + "/files/x.txt", "orphan");
    if (c.orphanInfo) Write(Home() + "/info/x.txt.trashinfo", "orphan");
    const Tree before = Snapshot(Home());
    Write(At("two/x.txt"), "second");

    ASSERT_EQ(MoveToTrash(At("two/x.txt")).result, TrashResult::Moved);

    Tree after = Snapshot(Home());
    const Tree added{{"files/x.txt.2", "second"}};
    EXPECT_EQ(Take(after, "files/x.txt.2", "files/x.txt.2"), added);
    const auto info = ReadInfo(Home() + "/info/x.txt.2.trashinfo");
    ASSERT_TRUE(info);
    EXPECT_EQ(QByteArray::fromPercentEncoding(info->path), QFile::encodeName(At("two/x.txt")));
    Take(after, "info/x.txt.2.trashinfo", "");
    EXPECT_EQ(after, before);
}

INSTANTIATE_TEST_SUITE_P(Collisions, TrashTakenNameTest,
                         ::testing::Values(TakenCase{"earlier entry", true, false, false},
                                           TakenCase{"orphan file", false, true, false},
                                           TakenCase{"orphan info", false, false, true}),
                         CaseName<TakenCase>);

struct RefusedCase {
    const char* what;
    std::function<QString(const QString& root, const QString& trash)> make;  // what to trash
    int error;
};

class TrashRefusedTest : public TrashTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(TrashRefusedTest, FailsAndLeavesEverythingAsItWas) {
    Write(At("seed"), "seed");
    ASSERT_EQ(MoveToTrash(At("seed")).result, TrashResult::Moved);
    const QString target = GetParam().make(At(""), Home());
    const Tree before = Snapshot(At(""));

    const TrashOutcome outcome = MoveToTrash(target);

    EXPECT_EQ(outcome.result, TrashResult::Failed);
    EXPECT_EQ(outcome.error, GetParam().error);
    EXPECT_EQ(Snapshot(At("")), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrashRefusedTest,
    ::testing::Values(
        RefusedCase{"missing entry", [](const QString& root, const QString&) { return root + "none"; },
                    ENOENT},
        RefusedCase{"entry in the trash",
                    [](const QString&, const QString& trash) { return trash + "/files/seed"; }, EINVAL},
        RefusedCase{"info file in the trash",
                    [](const QString&, const QString& trash) { return trash + "/info/seed.trashinfo"; },
                    EINVAL},
        RefusedCase{"entry where a linked trash leads",
                    [](const QString& root, const QString& trash) {
                        fs::rename(trash.toStdString(), (root + "elsewhere").toStdString());
                        fs::create_directory_symlink((root + "elsewhere").toStdString(), trash.toStdString());
                        return root + "elsewhere/files/seed";
                    },
                    EINVAL},
        // Its rename fails only once the info file is made, which must go again.
        RefusedCase{"folder holding the trash",
                    [](const QString& root, const QString&) { return root + "data"; }, EINVAL}),
    CaseName<RefusedCase>);

// /dev/shm is its own volume, whose top folder is itself.
struct VolumeCase {
    const char* what;
    std::function<void(const QString& top, const QString& uid, const QString& scratch)> make;
    const char* trash;  // relative to the volume's top; empty for none
};

class TrashVolumeTest : public TrashTest, public ::testing::WithParamInterface<VolumeCase> {
protected:
    void SetUp() override {
        TrashTest::SetUp();
        struct stat shm {}, dev {}, tmp {};
        if (::stat(kTop, &shm) != 0 || ::stat("/dev", &dev) != 0 ||
            ::stat(QFile::encodeName(root_.path()).constData(), &tmp) != 0 ||
            shm.st_dev == dev.st_dev || shm.st_dev == tmp.st_dev)
            GTEST_SKIP() << kTop << " is not a volume of its own apart from the home trash";
        // Cases may run as parallel processes, and all share the volume's trash folders.
        lock_ = ::open(kTop, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ASSERT_TRUE(lock_ >= 0 && ::flock(lock_, LOCK_EX) == 0);
        for (const QString& name : {shared_, own_})
            if (QFileInfo(name).exists() || QFileInfo(name).isSymLink())
                GTEST_SKIP() << qPrintable(name) << " already exists";
        cleanUp_ = true;
    }
    void TearDown() override {
        if (cleanUp_) {
            std::error_code error;
            fs::remove_all(shared_.toStdString(), error);
            fs::remove_all(own_.toStdString(), error);
        }
        if (lock_ >= 0) ::close(lock_);
    }

    static constexpr const char* kTop = "/dev/shm";
    const QString uid_ = QString::number(::getuid());
    const QString shared_ = QString(kTop) + "/.Trash";
    const QString own_ = QString(kTop) + "/.Trash-" + uid_;
    bool cleanUp_ = false;
    int lock_ = -1;
};

TEST_P(TrashVolumeTest, UsesTheTrashAtTheTopOfTheVolume) {
    const VolumeCase& c = GetParam();
    QTemporaryDir work(QString(kTop) + "/trash-test-XXXXXX");
    ASSERT_TRUE(work.isValid());
    c.make(kTop, uid_, work.path());
    Write(work.filePath("a b.txt"), "moved");

    const TrashOutcome outcome = MoveToTrash(work.filePath("a b.txt"));

    EXPECT_FALSE(QFileInfo::exists(Home()));
    if (*c.trash == '\0') {
        EXPECT_EQ(outcome.result, TrashResult::NoTrash);
        EXPECT_TRUE(QFileInfo::exists(work.filePath("a b.txt")));
        return;
    }
    ASSERT_EQ(outcome.result, TrashResult::Moved) << outcome.error;
    const QString trash = QString(kTop) + '/' + QString(c.trash).replace("UID", uid_);
    EXPECT_EQ(Snapshot(trash + "/files"), (Tree{{"a b.txt", "moved"}}));
    EXPECT_EQ(ModeOf(trash) & 0777, 0700);
    const auto info = ReadInfo(trash + "/info/a b.txt.trashinfo");
    ASSERT_TRUE(info);
    EXPECT_EQ(QByteArray::fromPercentEncoding(info->path),
              QFile::encodeName(QFileInfo(work.path()).fileName() + "/a b.txt"));
}

void MakeFolder(const QString& path, int mode) {
    ASSERT_TRUE(QDir().mkpath(path));
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
}

INSTANTIATE_TEST_SUITE_P(
    SharedAndOwn, TrashVolumeTest,
    ::testing::Values(
        VolumeCase{"no shared trash", [](auto&&...) {}, ".Trash-UID"},
        VolumeCase{"sticky shared trash",
                   [](const QString& top, const QString&, const QString&) { MakeFolder(top + "/.Trash", 01777); },
                   ".Trash/UID"},
        VolumeCase{"shared trash without sticky bit",
                   [](const QString& top, const QString&, const QString&) { MakeFolder(top + "/.Trash", 0777); },
                   ".Trash-UID"},
        VolumeCase{"shared trash a link to a sticky folder",
                   [](const QString& top, const QString&, const QString& scratch) {
                       MakeFolder(scratch + "/sticky", 01777);
                       Link(top + "/.Trash", scratch + "/sticky");
                   },
                   ".Trash-UID"},
        VolumeCase{"user folder in the shared trash a link",
                   [](const QString& top, const QString& uid, const QString& scratch) {
                       MakeFolder(top + "/.Trash", 01777);
                       MakeFolder(scratch + "/mine", 0700);
                       Link(top + "/.Trash/" + uid, scratch + "/mine");
                   },
                   ".Trash-UID"},
        VolumeCase{"own trash a plain file",
                   [](const QString& top, const QString& uid, const QString&) {
                       Write(top + "/.Trash-" + uid, "not a folder");
                   },
                   ""},
        VolumeCase{"own trash a link to a folder",
                   [](const QString& top, const QString& uid, const QString& scratch) {
                       MakeFolder(scratch + "/mine", 0700);
                       Link(top + "/.Trash-" + uid, scratch + "/mine");
                   },
                   ""}),
    CaseName<VolumeCase>);

}  // namespace
