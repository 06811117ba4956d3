// Line files on real files in a temporary folder: reading one line, replacing one
// line, and the rewrite keeping everything else of the file.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/errors.h"
#include "lang/linefiles.h"
#include "render/bmp.h"
#include "platform/files.h"
#include "support/process.h"

namespace fs = std::filesystem;

namespace {

class LineFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir = vxtest::MakeTempDir("lines");
        ASSERT_FALSE(dir.empty());
        _g_error = 0;
    }
    void TearDown() override {
        platform::test::FailRename(false);
        platform::test::RefuseTempFile(false);
        std::error_code ignored;
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(dir, ignored);
    }

    std::string Path(const std::string& name) const { return dir + "/" + name; }

    static void Write(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Names in the folder: a leftover temporary file shows here.
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir))
            names.push_back(e.path().filename().string());
        return names;
    }
    static std::string GetText(const std::string& path, int line) {
        VXStr text("unset");
        GETFILE(VXStr(path.c_str()), line, text);
        return (const char*)text;
    }

    std::string dir;
};

// Lines "L0" ... of the given line end.
std::string Numbered(int count, const char* end) {
    std::string s;
    for (int i = 0; i < count; ++i) s += "L" + std::to_string(i) + end;
    return s;
}

TEST_F(LineFiles, ReplacesOneLineOfACrLfFile) {
    std::string file = Path("cfs2.cfg");
    Write(file, Numbered(100, "\r\n"));
    EXPECT_EQ(PUTFILE(VXStr(file.c_str()), 72, VXStr("TEXT-SCROLL=1")), 0);

    std::string expected = Numbered(72, "\r\n") + "TEXT-SCROLL=1\r\n";
    for (int i = 73; i < 100; ++i) expected += "L" + std::to_string(i) + "\r\n";
    EXPECT_EQ(Read(file), expected);
    EXPECT_EQ(_g_error, 0);
    EXPECT_EQ(Entries(), std::vector<std::string>{"cfs2.cfg"});
}

TEST_F(LineFiles, LfOnlyInputComesBackWithCrLfThroughout) {
    std::string file = Path("a.txt");
    Write(file, "one\ntwo\nlone\rcr\nfour\n");
    PUTFILE(VXStr(file.c_str()), 1, VXStr("TWO"));
    // A CR alone is text, not a line end, and stays as it is.
    EXPECT_EQ(Read(file), "one\r\nTWO\r\nlone\rcr\r\nfour\r\n");
}

TEST_F(LineFiles, GrowsWithEmptyLinesUpToTheLineWritten) {
    std::string missing = Path("new.txt");
    PUTFILE(VXStr(missing.c_str()), 3, VXStr("text"));
    EXPECT_EQ(Read(missing), "\r\n\r\n\r\ntext\r\n");

    std::string shortFile = Path("short.txt");
    Write(shortFile, "a\r\nb\r\n");
    PUTFILE(VXStr(shortFile.c_str()), 4, -17);
    EXPECT_EQ(Read(shortFile), "a\r\nb\r\n\r\n\r\n-17\r\n");
    EXPECT_EQ(_g_error, 0);
}

// POSIX permission bits have no Windows counterpart beyond the read-only attribute.
#ifndef _WIN32
TEST_F(LineFiles, NewFileGetsTheUsualPermissions) {
    mode_t old = umask(027);
    PUTFILE(VXStr(Path("fresh.txt").c_str()), 0, VXStr("x"));
    umask(old);
    struct stat st;
    ASSERT_EQ(stat(Path("fresh.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}
#endif

TEST_F(LineFiles, MissingFolderWritesNothingAndReadsNoFile) {
    std::string file = Path("no/such/folder/a.cfg");
    testing::internal::CaptureStderr();
    EXPECT_EQ(PUTFILE(VXStr(file.c_str()), 3, VXStr("x")), 0);
    EXPECT_EQ(_g_error, 0);
    EXPECT_FALSE(fs::exists(Path("no")));

    EXPECT_EQ(GetText(file, 0), "NO_FILE");
    EXPECT_EQ(_g_error, 3);
    // Nothing recorded changes, but the user learns which file and why, one line each
    // (backslashes in names doubled, so a line reads one way only).
    std::string name;
    for (char c : file) name += c == '\\' ? std::string("\\\\") : std::string(1, c);
    const std::string said = testing::internal::GetCapturedStderr();
#ifdef _WIN32
    // The system's words for a missing path, whatever its language.
    const size_t from = said.find("): ") + 3;
    const std::string reason = said.substr(from, said.find('\n') - from);
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(reason.find("uccess"), std::string::npos) << reason;
#else
    const std::string reason = "No such file or directory";
#endif
    const std::string where = " \"" + name + "\" (" + name + "): " + reason + "\n";
    EXPECT_EQ(said, "vamex: PUTFILE" + where + "vamex: GETFILE" + where);
    _g_error = 0;
    int value = 99;
    EXPECT_EQ(GETFILE(VXStr(file.c_str()), 0, value), 0);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(_g_error, 3);

    VXStr result;
    EXPECT_EQ(GetFile(Path("missing.txt").c_str(), 0, result), 3);
    EXPECT_EQ(GetFile(dir.c_str(), 0, result), 3) << "a folder is no file to read";
    EXPECT_STREQ(result, "NO_FILE");
}

TEST_F(LineFiles, LineNumbersOutsideZeroTo255AreError7AndTouchNothing) {
    std::string file = Path("a.txt");
    std::string content = "keep\nme";
    Write(file, content);

    PUTFILE(VXStr(file.c_str()), 256, VXStr("x"));
    EXPECT_EQ(_g_error, 7);
    _g_error = 0;
    PUTFILE(VXStr(file.c_str()), 40000, VXStr("x"));  // narrowed to -25536
    EXPECT_EQ(_g_error, 7);
    _g_error = 0;
    VXStr text("x");
    EXPECT_EQ(PutFile(file.c_str(), -1, text), 7);
    EXPECT_EQ(Read(file), content);

    _g_error = 0;
    EXPECT_EQ(GetText(file, 256), "unset") << "the variable stays as it was";
    EXPECT_EQ(_g_error, 7);
    int value = 5;
    GETFILE(VXStr(file.c_str()), 256, value);
    EXPECT_EQ(value, 0);

    // A negative line read gives the first line.
    EXPECT_EQ(GetText(file, -3), "keep");
}

TEST_F(LineFiles, Line255IsTheLastLine) {
    std::string file = Path("a.txt");
    PUTFILE(VXStr(file.c_str()), 255, VXStr("last"));
    std::string expected;
    for (int i = 0; i < 255; ++i) expected += "\r\n";
    EXPECT_EQ(Read(file), expected + "last\r\n");
    EXPECT_EQ(GetText(file, 255), "last");
    EXPECT_EQ(_g_error, 0);
}

TEST_F(LineFiles, LineNumbersAreNarrowedTo16Bits) {
    std::string file = Path("a.txt");
    Write(file, Numbered(80, "\r\n"));
    PUTFILE(VXStr(file.c_str()), 65608, VXStr("seventy-two"));
    EXPECT_EQ(GetText(file, 72), "seventy-two");
    EXPECT_EQ(GetText(file, 65608), "seventy-two");
    EXPECT_EQ(GetText(file, 72 - 65536 * 3), "seventy-two");
    EXPECT_EQ(GetText(file, 71), "L71");
}

TEST_F(LineFiles, NothingBeyondLine255IsLost) {
    std::string file = Path("big.txt");
    std::string content = Numbered(300, "\r\n");
    Write(file, content);
    PUTFILE(VXStr(file.c_str()), 0, VXStr("first"));
    EXPECT_EQ(Read(file), "first\r\n" + content.substr(4));
}

TEST_F(LineFiles, LongLinesAndNulBytesSurviveTheRewrite) {
    std::string file = Path("a.txt");
    std::string longLine(2500, 'w');  // three pieces: 1023, 1023 and 454 bytes
    std::string withNul("a\0b", 3);
    Write(file, "zero\n" + longLine + "\n" + withNul + "\nfive\n");
    // Pieces count as lines: the long line is lines 1 to 3, the NUL line is 4.
    EXPECT_EQ(GetText(file, 4), "a");
    EXPECT_EQ(GetText(file, 5), "five");
    PUTFILE(VXStr(file.c_str()), 5, VXStr("FIVE"));
    EXPECT_EQ(Read(file), "zero\r\n" + longLine + "\r\n" + withNul + "\r\nFIVE\r\n");
}

TEST_F(LineFiles, AnOpenLastLineIsEndedBeforeAnythingFollowsIt) {
    std::string file = Path("a.txt");
    Write(file, "a\r\nb");
    PUTFILE(VXStr(file.c_str()), 0, VXStr("A"));
    EXPECT_EQ(Read(file), "A\r\nb") << "nothing follows it: it stays open";
    PUTFILE(VXStr(file.c_str()), 3, VXStr("x"));
    EXPECT_EQ(Read(file), "A\r\nb\r\n\r\nx\r\n");

    Write(file, "a\nb");
    PUTFILE(VXStr(file.c_str()), 2, VXStr("c"));
    EXPECT_EQ(Read(file), "a\r\nb\r\nc\r\n");
    Write(file, "a\nb");
    PUTFILE(VXStr(file.c_str()), 1, VXStr("B"));
    EXPECT_EQ(Read(file), "a\r\nB\r\n");
    // A full piece of 1023 bytes is a line of its own already: no empty line after it.
    Write(file, std::string(1023, 'f'));
    PUTFILE(VXStr(file.c_str()), 1, VXStr("g"));
    EXPECT_EQ(GetText(file, 1), "g");
}

TEST_F(LineFiles, GetFileAnswersNoDataWhereThereIsNoText) {
    std::string file = Path("a.txt");
    Write(file, "");
    EXPECT_EQ(GetText(file, 0), "NO_DATA");
    Write(file, "a\r\nb\r\n\r\n\tindented\r\n");
    EXPECT_EQ(GetText(file, 1), "b");
    EXPECT_EQ(GetText(file, 2), "NO_DATA");
    EXPECT_EQ(GetText(file, 3), "NO_DATA") << "text beginning with a control character";
    EXPECT_EQ(GetText(file, 4), "NO_DATA") << "past the end, not the last line again";
    EXPECT_EQ(GetText(file, 255), "NO_DATA");
    EXPECT_EQ(_g_error, 0);
}

TEST_F(LineFiles, AFullPieceGivesItsFirst1022Characters) {
    std::string file = Path("a.txt");
    std::string exact(1022, 'e');  // 1022 characters and LF: a piece of 1023 bytes
    std::string longer(1500, 'l');
    Write(file, exact + "\n" + longer + "\nend\n");
    EXPECT_EQ(GetText(file, 0), exact);
    EXPECT_EQ(GetText(file, 1), std::string(1022, 'l'));
    EXPECT_EQ(GetText(file, 2), std::string(477, 'l'));
    EXPECT_EQ(GetText(file, 3), "end");
}

TEST_F(LineFiles, GetFileExamples) {
    std::string file = Path("a.txt");
    Write(file, "  Score=12\r\n42 points\r\na\tb\r\n");
    int value = -1;
    EXPECT_EQ(GetText(file, 0), "  Score=12");
    GETFILE(VXStr(file.c_str()), 0, value);
    EXPECT_EQ(value, 0);
    GETFILE(VXStr(file.c_str()), 1, value);
    EXPECT_EQ(value, 42);
    EXPECT_EQ(GetText(file, 2), "a");
    GETFILE(VXStr(file.c_str()), 9, value);
    EXPECT_EQ(value, 0);
}

#ifndef _WIN32
TEST_F(LineFiles, PermissionBitsAreKept) {
    std::string file = Path("a.txt");
    for (mode_t mode : {0600, 0640, 0604, 0755}) {
        Write(file, "a\nb\n");
        ASSERT_EQ(chmod(file.c_str(), mode), 0);
        PUTFILE(VXStr(file.c_str()), 1, VXStr("B"));
        struct stat st;
        ASSERT_EQ(stat(file.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, mode);
        EXPECT_EQ(Read(file), "a\r\nB\r\n");
    }
}
#endif

TEST_F(LineFiles, AFailedRenameLeavesTheOriginalAndNoTemporaryFile) {
    std::string file = Path("a.txt");
    Write(file, "old\n");
    platform::test::FailRename(true);
    EXPECT_EQ(PUTFILE(VXStr(file.c_str()), 0, VXStr("new")), 0);
    EXPECT_EQ(_g_error, 0) << "a failed write is not reported";
    EXPECT_FALSE(platform::RewriteFile(file, "x", 1));
    EXPECT_EQ(Read(file), "old\n");
    EXPECT_EQ(Entries(), std::vector<std::string>{"a.txt"});
}

TEST_F(LineFiles, AFolderRefusingNewFilesGetsTheFileRewrittenInPlace) {
    std::string file = Path("a.txt");
    Write(file, "a much longer old line\nb\n");
#ifndef _WIN32
    struct stat before, after;
    ASSERT_EQ(stat(file.c_str(), &before), 0);
#endif
    platform::test::RefuseTempFile(true);
    PUTFILE(VXStr(file.c_str()), 0, VXStr("A"));
    EXPECT_EQ(Read(file), "A\r\nb\r\n");
#ifndef _WIN32
    ASSERT_EQ(stat(file.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
#endif
    EXPECT_EQ(Entries(), std::vector<std::string>{"a.txt"});
}

// Links, unreadable files and locked folders are POSIX notions here; Windows has the
// read-only attribute, tested below on both builds.
#ifndef _WIN32
TEST_F(LineFiles, ALinkedFileStaysALink) {
    fs::create_directory(Path("real"));
    std::string target = Path("real/a.cfg");
    Write(target, "a\nb\n");
    fs::create_symlink("real/a.cfg", Path("link.cfg"));
    PUTFILE(VXStr(Path("link.cfg").c_str()), 1, VXStr("B"));
    EXPECT_TRUE(fs::is_symlink(Path("link.cfg")));
    EXPECT_EQ(Read(target), "a\r\nB\r\n");
    EXPECT_EQ(fs::directory_iterator(Path("real"))->path().filename().string(), "a.cfg");
    // A link whose target does not exist yet is written through, not replaced.
    fs::create_symlink("real/new.cfg", Path("dangling.cfg"));
    PUTFILE(VXStr(Path("dangling.cfg").c_str()), 0, VXStr("N"));
    EXPECT_TRUE(fs::is_symlink(Path("dangling.cfg")));
    EXPECT_EQ(Read(Path("real/new.cfg")), "N\r\n");
}

// Modes of the rewrite's temporary files, seen when a size limit stops the write.
mode_t g_tempModes = 0;
int g_tempsSeen = 0;
std::string g_tempFolder;

void NoteTemporaryFiles(int) {
    DIR* d = opendir(g_tempFolder.c_str());
    if (!d) return;
    while (dirent* e = readdir(d)) {
        struct stat st;
        std::string name = g_tempFolder + "/" + e->d_name;
        if (std::string(e->d_name).find(".vxtmp") != std::string::npos &&
            stat(name.c_str(), &st) == 0) {
            g_tempModes |= st.st_mode & 07777;
            ++g_tempsSeen;
        }
    }
    closedir(d);
}

TEST_F(LineFiles, TheRewriteIsTheOwnersAloneUntilItTakesTheOldModeAndOwner) {
    std::string file = Path("private.cfg");
    std::string content;
    for (int i = 0; i < 1000; ++i) content += std::string(98, 's') + "\r\n";
    Write(file, content);
    ASSERT_EQ(chmod(file.c_str(), 0600), 0);
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(file.c_str(), 4321, 4322), 0);
    }

    // A size limit below the file's: the write stops half-way with SIGXFSZ, whose
    // handler looks at the temporary file as it is at that moment.
    g_tempFolder = dir;
    g_tempModes = 0;
    g_tempsSeen = 0;
    struct sigaction note {
    }, old{};
    note.sa_handler = NoteTemporaryFiles;
    sigaction(SIGXFSZ, &note, &old);
    struct rlimit limit, saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    limit = saved;
    limit.rlim_cur = 50000;
    setrlimit(RLIMIT_FSIZE, &limit);
    testing::internal::CaptureStderr();
    PUTFILE(VXStr(file.c_str()), 0, VXStr("x"));
    std::string said = testing::internal::GetCapturedStderr();
    setrlimit(RLIMIT_FSIZE, &saved);
    sigaction(SIGXFSZ, &old, nullptr);

    EXPECT_EQ(g_tempsSeen, 1);
    EXPECT_EQ(g_tempModes, 0600u) << "no one else may read the new content on its way";
    EXPECT_EQ(said, "vamex: PUTFILE \"" + file + "\" (" + file + "): File too large\n");
    EXPECT_TRUE(Read(file) == content);
    EXPECT_EQ(Entries(), std::vector<std::string>{"private.cfg"});

    PUTFILE(VXStr(file.c_str()), 0, VXStr("x"));
    EXPECT_TRUE(Read(file) == "x\r\n" + content.substr(100));
    struct stat st;
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    if (root) {
        EXPECT_EQ(st.st_uid, 4321u);
        EXPECT_EQ(st.st_gid, 4322u);
    }
}

TEST_F(LineFiles, LeftoversOfDeadRewritesGoWhileLiveOnesAndOtherNamesStay) {
    pid_t child = fork();
    if (child == 0) _exit(0);
    ASSERT_GT(child, 0);
    waitpid(child, nullptr, 0);  // a process that no longer exists
    const std::string dead = ".a.txt.vxtmp-" + std::to_string(child) + "-3";
    const std::string live = ".a.txt.vxtmp-" + std::to_string(getppid()) + "-0";
    const std::string others[] = {".b.txt.vxtmp-" + std::to_string(child) + "-3",
                                  ".a.txt.vxtmp-" + std::to_string(child) + "-3x", live};
    Write(Path("a.txt"), "a\n");
    Write(Path(dead), "half");
    for (const std::string& name : others) Write(Path(name), "keep");
    PUTFILE(VXStr(Path("a.txt").c_str()), 0, VXStr("A"));
    EXPECT_EQ(Read(Path("a.txt")), "A\r\n");
    EXPECT_FALSE(fs::exists(Path(dead)));
    for (const std::string& name : others) EXPECT_TRUE(fs::exists(Path(name))) << name;
}

TEST_F(LineFiles, PermissionsOfFileAndFolderAreRespected) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
    std::string writeOnly = Path("wo.txt");
    Write(writeOnly, "keep\nall\n");
    chmod(writeOnly.c_str(), 0200);
    PUTFILE(VXStr(writeOnly.c_str()), 0, VXStr("x"));
    chmod(writeOnly.c_str(), 0600);
    EXPECT_EQ(Read(writeOnly), "keep\nall\n") << "an unreadable file is not an empty one";

    // A folder that takes no new file: the file itself is still written, in place.
    std::string inLocked = Path("locked/a.txt");
    fs::create_directory(Path("locked"));
    Write(inLocked, "a\nb\n");
    chmod(Path("locked").c_str(), 0555);
    PUTFILE(VXStr(inLocked.c_str()), 1, VXStr("B"));
    EXPECT_EQ(Read(inLocked), "a\r\nB\r\n");
    EXPECT_EQ(fs::directory_iterator(Path("locked"))->path().filename().string(), "a.txt");
    chmod(Path("locked").c_str(), 0755);
}
#endif

// A file past the limit, a folder and a device are no line files on either build;
// on Linux a pipe, which must not hold the open, too.
TEST_F(LineFiles, OnlyRegularFilesUpTo64MiBAreLineFiles) {
    std::string big = Path("big.txt");  // sparse: takes no room on the disk
    Write(big, "a\n");
    fs::resize_file(big, (64u << 20) + 1);
    fs::create_directory(Path("folder"));
    std::vector<std::string> names = {big, Path("folder")};
#ifdef _WIN32
    const std::string device = "NUL";
#else
    const std::string device = Path("pipe");
    alarm(60);  // an open that blocks ends the test rather than hanging it
    ASSERT_EQ(mkfifo(device.c_str(), 0600), 0);
    names.push_back("/dev/zero");
#endif
    names.push_back(device);
    for (const std::string& name : names) {
        _g_error = 0;
        EXPECT_EQ(GetText(name, 0), "NO_FILE") << name;
        EXPECT_EQ(_g_error, 3) << name;
        _g_error = 0;
        VXStr text("x");
        EXPECT_EQ(PutFile(name.c_str(), 0, text), 3) << name;
    }
    BmpPicture picture;  // the picture and sound loaders open files the same way
    EXPECT_FALSE(ReadBmp(device.c_str(), 4096, &picture));
#ifndef _WIN32
    alarm(0);
    EXPECT_TRUE(fs::is_fifo(device));
#endif
    EXPECT_EQ(fs::file_size(big), (64u << 20) + 1);
    EXPECT_EQ(Read(big).substr(0, 3), std::string("a\n\0", 3));
    EXPECT_TRUE(fs::is_empty(Path("folder")));
}

TEST_F(LineFiles, AReadOnlyFileIsLeftUntouched) {
#ifndef _WIN32
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
#endif
    // On Windows this sets the read-only attribute.
    std::string readOnly = Path("ro.txt");
    Write(readOnly, "a\n");
    fs::permissions(readOnly,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    PUTFILE(VXStr(readOnly.c_str()), 0, VXStr("x"));
    fs::permissions(readOnly, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(Read(readOnly), "a\n");
    EXPECT_EQ(Entries(), std::vector<std::string>{"ro.txt"});
}

#ifdef _WIN32
TEST_F(LineFiles, WindowsNamesGoToTheSystemAsTheyAre) {
    fs::create_directories(Path("Program Files/X"));
    std::string real = Path("Program Files/X/a.cfg");
    Write(real, "first\nsecond\n");
    std::string name = dir + "\\PROGRAM FILES\\x\\A.CFG";
    VXStr text;
    GETFILE(VXStr(name.c_str()), 1, text);
    PUTFILE(VXStr(name.c_str()), 0, VXStr("FIRST"));
    EXPECT_STREQ(text, "second");
    EXPECT_EQ(Read(real), "FIRST\r\nsecond\r\n");
    EXPECT_EQ(fs::directory_iterator(Path("Program Files/X"))->path().filename().string(), "a.cfg");
    EXPECT_EQ(_g_error, 0);
}
#else
TEST_F(LineFiles, WindowsNamesResolveInsideTheWinePrefix) {
    std::string prefix = Path("prefix");
    fs::create_directories(prefix + "/drive_c/Program Files/X");
    fs::create_directories(prefix + "/dosdevices");
    fs::create_symlink("../drive_c", prefix + "/dosdevices/c:");
    std::string real = prefix + "/drive_c/Program Files/X/a.cfg";
    Write(real, "first\nsecond\n");

    const char* old = std::getenv("WINEPREFIX");
    std::string saved = old ? old : "";
    setenv("WINEPREFIX", prefix.c_str(), 1);
    VXStr name("c:\\program files\\x\\a.cfg");
    VXStr text;
    GETFILE(name, 1, text);
    PUTFILE(name, 0, VXStr("FIRST"));
    PUTFILE(VXStr("C:\\PROGRAM FILES\\X\\new.cfg"), 0, VXStr("n"));
    if (old)
        setenv("WINEPREFIX", saved.c_str(), 1);
    else
        unsetenv("WINEPREFIX");

    EXPECT_STREQ(text, "second");
    EXPECT_EQ(Read(real), "FIRST\r\nsecond\r\n");
    EXPECT_EQ(Read(prefix + "/drive_c/Program Files/X/new.cfg"), "n\r\n");
    EXPECT_EQ(_g_error, 0);
}
#endif

}  // namespace
