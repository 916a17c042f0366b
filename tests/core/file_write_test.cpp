// The safe writer: what it does with every kind of target, and when the program is told to stop in the
// middle of a save.
#include "core/file_write.h"

#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarvik::testing {
namespace {

namespace fs = std::filesystem;

// The reason a write gives, or "" when it succeeds.
std::string write_reason(const fs::path& target, const std::string& text) {
    try {
        write_file_replacing(target, text);
        return "";
    } catch (const FileWriteError& e) {
        return e.reason();
    }
}

// Every kind of target: a file is replaced whole and keeps its permissions; a link is followed and stays
// a link; a device or a FIFO with a reader is written to and stays what it is; a FIFO without a reader,
// a missing folder and a folder fail at once with their reason; leftovers of earlier saves block nothing.
TEST(SafeWrite, EachKindOfTargetIsWrittenAsWhatItIs) {
    TestFolder dir("safe_write");
    write_contents(dir / "old.csv", "earlier");
    fs::permissions(dir.path() / "old.csv", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(write_reason(dir / "old.csv", "new"), "");
    EXPECT_EQ(file_contents(dir / "old.csv"), "new");
    EXPECT_EQ(fs::status(dir.path() / "old.csv").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    fs::create_directory(dir.path() / "real");
    write_contents(dir / "real/target.csv", "earlier");
    fs::create_symlink("real/target.csv", dir.path() / "link.csv");
    EXPECT_EQ(write_reason(dir / "link.csv", "through the link"), "");
    EXPECT_TRUE(fs::is_symlink(dir.path() / "link.csv"));
    EXPECT_EQ(file_contents(dir / "real/target.csv"), "through the link");

    for (int n = 0; n < 100; ++n)
        write_contents(dir / (".busy.csv." + std::to_string(n) + ".tmp"), "left over");
    EXPECT_EQ(write_reason(dir / "busy.csv", "saved"), "");
    EXPECT_EQ(file_contents(dir / "busy.csv"), "saved");

    const fs::path fifo = dir.path() / "pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(write_reason(fifo, "nobody listens"), "no program is reading from it");
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(write_reason(fifo, "listened to"), "");
    char got[32] = {};
    EXPECT_EQ(read(reader, got, sizeof got), 11);
    EXPECT_EQ(std::string(got), "listened to");
    close(reader);
    EXPECT_TRUE(fs::is_fifo(fifo));

    if (geteuid() == 0) { // a null device of the test's own, where only root may make one
        const fs::path null = dir.path() / "null";
        ASSERT_EQ(mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
        EXPECT_EQ(write_reason(null, "gone"), "");
        EXPECT_TRUE(fs::is_character_file(null));
    }
    EXPECT_EQ(write_reason(dir / "missing/out.csv", "x"), "No such file or directory");
    EXPECT_EQ(write_reason(dir.path() / "real", "x"), "Is a directory");
    const auto names = dir.names();
    EXPECT_EQ(std::count_if(names.begin(), names.end(), [](const std::string& n) { return n.ends_with(".tmp"); }),
              100)
        << "no temporary file of these saves is left";
}

// A child process saves 256 MiB over an earlier file and is stopped as soon as its temporary file appears:
// the earlier file stays whole, and the temporary file is gone with the process.
TEST(SafeWrite, ASaveStoppedBySigintOrSigtermLeavesTheEarlierFileAndNoTemporary) {
    TestFolder dir("stopped_save");
    const auto temporary_exists = [&] {
        for (const auto& name : dir.names())
            if (name.starts_with(".study.tarvik.") && name.ends_with(".tmp"))
                return true;
        return false;
    };
    for (const int sig : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(sig);
        write_contents(dir / "study.tarvik", "an earlier session, kept");
        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            write_file_replacing(dir / "study.tarvik", std::string(std::size_t{1} << 28, 'x'));
            _exit(0);
        }
        int status = 0;
        while (!temporary_exists() && waitpid(child, &status, WNOHANG) == 0)
            usleep(100);
        kill(child, sig);
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << "status " << status;
        EXPECT_EQ(file_contents(dir / "study.tarvik"), "an earlier session, kept");
        EXPECT_EQ(dir.names(), std::vector<std::string>{"study.tarvik"});
    }
}

} // namespace
} // namespace tarvik::testing
