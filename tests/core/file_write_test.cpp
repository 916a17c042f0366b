// The safe writer when the program is told to stop in the middle of a save.
#include "core/file_write.h"

#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarvik::testing {
namespace {

// A child process saves 256 MiB over an earlier file and is stopped as soon as its temporary file appears:
// the earlier file stays whole, and the temporary file is gone with the process.
TEST(SafeWrite, ASaveStoppedBySigintOrSigtermLeavesTheEarlierFileAndNoTemporary) {
    TestFolder dir("stopped_save");
    const std::filesystem::path temporary = dir.path() / ".study.tarvik.0.tmp";
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
        while (!std::filesystem::exists(temporary) && waitpid(child, &status, WNOHANG) == 0)
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
