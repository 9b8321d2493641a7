#include "image/atomic_file.h"

#include "support/codec_image_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace tessary {
namespace {

using testing::ScratchFolder;
namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

const Bytes kOld = { 'o', 'l', 'd' };
const Bytes kNew = { 'n', 'e', 'w', ' ', 'o', 'n', 'e' };

bool save(const std::string& path, const Bytes& bytes, bool succeed = true)
{
    return writeFileAtomically(path,
        [&](CxFile& file) { return file.Write(bytes.data(), 1, bytes.size()) == bytes.size() && succeed; });
}

std::vector<std::string> namesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

mode_t modeOf(const std::string& path)
{
    struct stat st { };
    stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

// Runs `check` as an ordinary user, since root may write whatever it likes: when we are root, in
// a child process that gives root up first (as "nobody"). The child says what failed on stderr.
void asOrdinaryUser(const std::function<bool()>& check)
{
    if (geteuid() != 0) {
        EXPECT_TRUE(check());
        return;
    }
    constexpr int kCannotDrop = 77;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(kCannotDrop);
        _exit(check() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == kCannotDrop)
        GTEST_SKIP() << "root cannot become an ordinary user here";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

// In the child of asOrdinaryUser there is no GoogleTest to report to.
bool require(bool condition, const char* what)
{
    if (!condition)
        std::fprintf(stderr, "failed: %s\n", what);
    return condition;
}

TEST(AtomicFile, NamesUpTo255BytesAreWrittenAndReplaced)
{
    for (size_t length : { 246u, 250u, 255u }) {
        ScratchFolder folder;
        const std::string name = std::string(length - 4, 'n') + ".png";
        const std::string path = folder.file(name);
        ASSERT_TRUE(save(path, kOld)) << length;
        ASSERT_TRUE(save(path, kNew)) << length;
        EXPECT_EQ(ScratchFolder::read(path), kNew);
        // A failed write leaves the file and nothing beside it.
        EXPECT_FALSE(save(path, kOld, false));
        EXPECT_EQ(ScratchFolder::read(path), kNew);
        EXPECT_EQ(namesIn(folder.file("")), std::vector<std::string> { name });
    }
}

TEST(AtomicFile, SavingThroughASymbolicLinkWritesWhatItNamesAndKeepsTheLink)
{
    ScratchFolder folder;
    fs::create_directories(folder.file("real"));
    folder.write("real/picture.png", kOld);
    struct Link {
        const char* name;
        std::string pointsTo;
    } links[] = {
        { "absolute.png", folder.file("real/picture.png") },
        { "relative.png", "real/picture.png" },
        { "chained.png", "relative.png" },
    };
    for (const Link& link : links) {
        fs::create_symlink(link.pointsTo, folder.file(link.name));
        folder.write("real/picture.png", kOld);
        ASSERT_TRUE(save(folder.file(link.name), kNew)) << link.name;
        EXPECT_TRUE(fs::is_symlink(folder.file(link.name))) << link.name;
        EXPECT_EQ(fs::read_symlink(folder.file(link.name)).string(), link.pointsTo);
        EXPECT_EQ(ScratchFolder::read(folder.file("real/picture.png")), kNew) << link.name;
        EXPECT_FALSE(save(folder.file(link.name), kOld, false));
        EXPECT_EQ(ScratchFolder::read(folder.file("real/picture.png")), kNew) << link.name;
    }
    // A link to a file not made yet: the file is made, the link now leads to it.
    fs::create_symlink("real/later.png", folder.file("dangling.png"));
    ASSERT_TRUE(save(folder.file("dangling.png"), kNew));
    EXPECT_TRUE(fs::is_symlink(folder.file("dangling.png")));
    EXPECT_EQ(ScratchFolder::read(folder.file("real/later.png")), kNew);
    EXPECT_EQ(namesIn(folder.file("real")), (std::vector<std::string> { "later.png", "picture.png" }));
}

TEST(AtomicFile, NewFilesFollowTheUmaskAndReplacedFilesKeepTheirMode)
{
    ScratchFolder folder;
    const mode_t previous = umask(027);
    const bool first = save(folder.file("a.bmp"), kNew);
    umask(077);
    const bool second = save(folder.file("b.bmp"), kNew);
    umask(previous);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(modeOf(folder.file("a.bmp")), 0640u);
    EXPECT_EQ(modeOf(folder.file("b.bmp")), 0600u);

    chmod(folder.file("a.bmp").c_str(), 0604);
    ASSERT_TRUE(save(folder.file("a.bmp"), kOld));
    EXPECT_EQ(modeOf(folder.file("a.bmp")), 0604u);
    EXPECT_EQ(ScratchFolder::read(folder.file("a.bmp")), kOld);
}

TEST(AtomicFile, AReadOnlyFileIsRefusedAndKept)
{
    ScratchFolder folder;
    chmod(folder.file("").c_str(), 0777);
    const std::string path = folder.file("locked.png");
    asOrdinaryUser([&] {
        return require(save(path, kOld), "first save") && require(chmod(path.c_str(), 0444) == 0, "chmod")
            && require(!save(path, kNew), "read-only file refused")
            && require(ScratchFolder::read(path) == kOld, "content kept")
            && require(
                namesIn(folder.file("")) == std::vector<std::string> { "locked.png" }, "nothing beside");
    });
}

TEST(AtomicFile, AWritableFileInAClosedFolderIsRewrittenInPlace)
{
    ScratchFolder folder;
    chmod(folder.file("").c_str(), 0777);
    const std::string closed = folder.file("closed");
    const std::string path = closed + "/photo.jpg";
    asOrdinaryUser([&] {
        return require(mkdir(closed.c_str(), 0755) == 0, "mkdir") && require(save(path, kOld), "first save")
            && require(chmod(path.c_str(), 0640) == 0 && chmod(closed.c_str(), 0555) == 0, "chmod")
            && require(save(path, kNew), "written in place")
            && require(ScratchFolder::read(path) == kNew, "new content")
            && require(modeOf(path) == 0640, "mode kept")
            && require(!save(closed + "/other.jpg", kNew), "no new file in a closed folder")
            && require(namesIn(closed) == std::vector<std::string> { "photo.jpg" }, "nothing beside");
    });
    chmod(closed.c_str(), 0755); // so the scratch folder can be removed
}

// What a save must never turn into a file of its own: a FIFO, a device, a folder, also when a
// link leads there. Nothing is made beside it, and saveRefusal says what is there.
TEST(AtomicFile, OnlyARegularFileIsReplaced)
{
    ScratchFolder folder;
    ASSERT_EQ(mkfifo(folder.file("pipe").c_str(), 0644), 0);
    fs::create_directory(folder.file("folder"));
    fs::create_symlink("pipe", folder.file("link.png"));
    fs::create_symlink("link.png", folder.file("chain.bmp"));
    fs::create_symlink("folder", folder.file("folder-link.png"));
    struct Case {
        const char* name;
        std::string refusal;
    };
    std::vector<Case> cases = {
        { "pipe", "cannot save to \"" + folder.file("pipe") + "\": it is a FIFO, not a regular file" },
        { "link.png", "\", a FIFO, not a regular file" },
        { "chain.bmp", "it leads to \"" + folder.file("pipe") + "\", a FIFO" },
        { "folder", "it is a folder, not a regular file" },
        { "folder-link.png", "a folder, not a regular file" },
    };
    // A device can only be made by root; the null device's numbers, so writing to it is harmless.
    if (mknod(folder.file("device").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0)
        cases.push_back({ "device", "it is a character device, not a regular file" });
    const std::vector<std::string> before = namesIn(folder.file(""));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder.file(c.name);
        const std::string refusal = saveRefusal(path);
        EXPECT_NE(refusal.find(c.refusal), std::string::npos) << refusal;
        EXPECT_NE(refusal.find("\"" + path + "\""), std::string::npos) << refusal;
        EXPECT_FALSE(save(path, kNew));
        MappedFileSave mapped;
        EXPECT_FALSE(mapped.begin(path, 10));
        EXPECT_EQ(namesIn(folder.file("")), before);
    }
    EXPECT_TRUE(fs::is_fifo(folder.file("pipe")));
    EXPECT_TRUE(fs::is_directory(folder.file("folder")));
    EXPECT_TRUE(fs::is_empty(folder.file("folder")));
    // Nothing there yet, a file, a link to a file: a save may go there.
    folder.write("file.bmp", kOld);
    fs::create_symlink("file.bmp", folder.file("file-link.bmp"));
    for (const char* name : { "new.bmp", "file.bmp", "file-link.bmp" })
        EXPECT_EQ(saveRefusal(folder.file(name)), "") << name;
}

// ---- files written through memory

bool saveMapped(const std::string& path, const Bytes& bytes, bool commit = true)
{
    MappedFileSave save;
    if (!save.begin(path, bytes.size()))
        return false;
    // The mapped bytes start as zeros, and the temporary file holds them at their full size.
    if (std::any_of(save.bytes(), save.bytes() + save.size(), [](uint8_t b) { return b != 0; })
        || fs::file_size(save.temporaryName()) != bytes.size())
        return false;
    std::copy(bytes.begin(), bytes.end(), save.bytes());
    return commit && save.commit();
}

TEST(MappedFileSave, ReplacesOnlyWhenCommittedWithTheRulesOfAnySave)
{
    ScratchFolder folder;
    const std::string path = folder.file("merged.bmp");
    ASSERT_TRUE(saveMapped(path, kOld));
    EXPECT_EQ(ScratchFolder::read(path), kOld);
    // Not committed: the file stays and nothing is left beside it.
    EXPECT_FALSE(saveMapped(path, kNew, false));
    EXPECT_EQ(ScratchFolder::read(path), kOld);
    EXPECT_EQ(namesIn(folder.file("")), std::vector<std::string> { "merged.bmp" });
    // A replaced file keeps its mode; a link is followed and kept.
    chmod(path.c_str(), 0604);
    fs::create_symlink("merged.bmp", folder.file("link.bmp"));
    ASSERT_TRUE(saveMapped(folder.file("link.bmp"), kNew));
    EXPECT_TRUE(fs::is_symlink(folder.file("link.bmp")));
    EXPECT_EQ(ScratchFolder::read(path), kNew);
    EXPECT_EQ(modeOf(path), 0604u);
    // No room on the disk for it, an empty file or no name: refused before anything is made.
    MappedFileSave tooLarge, empty, unnamed;
    EXPECT_FALSE(tooLarge.begin(folder.file("huge.bmp"), size_t(1) << 60));
    EXPECT_FALSE(empty.begin(folder.file("empty.bmp"), 0));
    EXPECT_FALSE(unnamed.begin("", 10));
    EXPECT_EQ(tooLarge.bytes(), nullptr);
    EXPECT_FALSE(tooLarge.commit());
    EXPECT_EQ(namesIn(folder.file("")), (std::vector<std::string> { "link.bmp", "merged.bmp" }));
}

TEST(MappedFileSave, AReadOnlyFileIsRefusedAndKept)
{
    ScratchFolder folder;
    chmod(folder.file("").c_str(), 0777);
    const std::string path = folder.file("locked.bmp");
    asOrdinaryUser([&] {
        return require(save(path, kOld), "first save") && require(chmod(path.c_str(), 0444) == 0, "chmod")
            && require(!saveMapped(path, kNew), "read-only file refused")
            && require(ScratchFolder::read(path) == kOld, "content kept")
            && require(
                namesIn(folder.file("")) == std::vector<std::string> { "locked.bmp" }, "nothing beside");
    });
}

} // namespace
} // namespace tessary
