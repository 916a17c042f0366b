#include "core/file_write.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <optional>
#include <system_error>

namespace tarvik {

namespace fs = std::filesystem;

namespace {

// The temporary file being written, kept where a signal handler can reach it without allocating.
char g_temporary[4096];
volatile std::sig_atomic_t g_armed = 0;
struct sigaction g_previous[2];
constexpr int kEndingSignals[2] = {SIGINT, SIGTERM};

// SIGINT or SIGTERM while a file is written: the temporary file goes, then the signal does what it would
// have done without us (usually ending the program). The target has not been touched yet.
extern "C" void remove_temporary_on_signal(int sig) {
    if (g_armed)
        ::unlink(g_temporary);
    g_armed = 0;
    for (int k = 0; k < 2; ++k)
        if (kEndingSignals[k] == sig)
            ::sigaction(sig, &g_previous[k], nullptr);
    ::raise(sig);
}

// Arms the handler for the duration of one write, and puts the previous handlers back afterwards. A
// signal the program ignores stays ignored. One write at a time: the program saves from one thread.
class InterruptCleanup {
  public:
    explicit InterruptCleanup(const fs::path& temporary) {
        const std::string path = temporary.string();
        if (path.size() >= sizeof g_temporary)
            return;
        std::memcpy(g_temporary, path.c_str(), path.size() + 1);
        struct sigaction act {};
        act.sa_handler = remove_temporary_on_signal;
        sigemptyset(&act.sa_mask);
        for (int k = 0; k < 2; ++k) {
            ::sigaction(kEndingSignals[k], nullptr, &g_previous[k]);
            if (g_previous[k].sa_handler != SIG_IGN)
                ::sigaction(kEndingSignals[k], &act, nullptr);
        }
        g_armed = 1;
        armed_ = true;
    }
    ~InterruptCleanup() {
        if (!armed_)
            return;
        g_armed = 0;
        for (int k = 0; k < 2; ++k)
            ::sigaction(kEndingSignals[k], &g_previous[k], nullptr);
    }
    InterruptCleanup(const InterruptCleanup&) = delete;
    InterruptCleanup& operator=(const InterruptCleanup&) = delete;

  private:
    bool armed_ = false;
};

class BlockEndingSignals {
  public:
    BlockEndingSignals() {
        sigset_t ending;
        sigemptyset(&ending);
        for (const int sig : kEndingSignals)
            sigaddset(&ending, sig);
        pthread_sigmask(SIG_BLOCK, &ending, &previous_);
    }
    ~BlockEndingSignals() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    BlockEndingSignals(const BlockEndingSignals&) = delete;
    BlockEndingSignals& operator=(const BlockEndingSignals&) = delete;

  private:
    sigset_t previous_;
};

FileWriteError write_error(const fs::path& path, int err) {
    const std::string reason = std::generic_category().message(err);
    return FileWriteError("Could not write the file " + path.string() + ": " + reason, reason);
}

// The file a path names once its symbolic links are followed, so that a save through a link replaces
// the file it points to and leaves the link as it is. A chain longer than the system allows is an error.
fs::path followed_links(fs::path path) {
    std::error_code ec;
    for (int hops = 0; fs::is_symlink(fs::symlink_status(path, ec)); ++hops) {
        if (hops == 40)
            throw write_error(path, ELOOP);
        const fs::path to = fs::read_symlink(path, ec);
        if (ec)
            throw write_error(path, ec.value());
        path = to.is_absolute() ? to : path.parent_path() / to;
    }
    return path;
}

// Writes all of the text to an open descriptor, going on after interruptions. Returns 0 or the error.
int write_all(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

const char* const kNoReader = "no program is reading from it";

// A device, a FIFO or a socket is written to as it is: renaming a file over it would replace it. A FIFO
// that no process reads is an error at once instead of a wait without end.
void write_special(const fs::path& target, const std::string& text) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0 && errno == ENXIO && fs::is_fifo(target))
        throw FileWriteError("Could not write to the FIFO " + target.string() + ": " + kNoReader, kNoReader);
    if (fd < 0)
        throw write_error(target, errno);
    // Writes block as usual once the file is open, so that a slow reader gets everything.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    const int err = write_all(fd, text);
    if (::close(fd) != 0 && err == 0 && errno != EINTR)
        throw write_error(target, errno);
    if (err)
        throw write_error(target, err);
}

// Permissions of a new file as the process would create it: read and write for everyone the umask lets.
mode_t new_file_mode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

void write_file_replacing(const fs::path& given, const std::string& text) {
    const fs::path target = followed_links(given);
    std::error_code ec;
    const fs::file_status status = fs::status(target, ec);
    const bool existed = fs::exists(status);
    if (existed && fs::is_directory(status))
        throw write_error(given, EISDIR);
    if (existed && !fs::is_regular_file(status))
        return write_special(target, text);
    if (existed) {
        // A file that could not be opened for writing in place is refused, not replaced by renaming.
        const int probe = ::open(target.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
        if (probe < 0)
            throw write_error(given, errno);
        ::close(probe);
    }

    // A temporary name with a random part, created exclusively: leftovers of earlier saves never block one.
    std::string name = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX.tmp")).string();
    int fd = -1;
    int err = 0;
    std::optional<InterruptCleanup> cleanup;
    {
        // A signal between creating the temporary file and arming its cleanup would leave the file
        // behind: such signals wait until both are done.
        const BlockEndingSignals block;
        fd = ::mkstemps(name.data(), 4);
        err = errno;
        if (fd >= 0)
            cleanup.emplace(name);
    }
    if (fd < 0)
        throw write_error(given, err ? err : EIO);
    const fs::path temporary = name;

    err = write_all(fd, text);
    if (!err)
        ::fchmod(fd, existed ? static_cast<mode_t>(status.permissions()) : new_file_mode());
    // On the disk before the rename, so that a crash never leaves an empty file under the target's name.
    if (!err && ::fsync(fd) != 0)
        err = errno;
    if (::close(fd) != 0 && !err && errno != EINTR)
        err = errno;
    if (err) {
        fs::remove(temporary, ec);
        throw write_error(given, err);
    }
    fs::rename(temporary, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw write_error(given, ec.value());
    }
}

} // namespace tarvik
