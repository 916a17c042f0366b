#include "core/file_write.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
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

} // namespace

void write_file_replacing(const fs::path& target, const std::string& text) {
    std::error_code ec;
    const bool existed = fs::exists(target, ec);
    if (existed) {
        // A file that could not be opened for writing in place is refused, not replaced by renaming.
        errno = 0;
        std::ofstream probe(target, std::ios::app);
        if (!probe)
            throw write_error(target, errno ? errno : EACCES);
    }

    fs::path temporary;
    std::FILE* file = nullptr;
    int err = 0;
    std::optional<InterruptCleanup> cleanup;
    {
        // A signal between creating the temporary file and arming its cleanup would leave the file
        // behind: such signals wait until both are done.
        const BlockEndingSignals block;
        for (int n = 0; n < 100 && !file; ++n) {
            temporary =
                target.parent_path() / ("." + target.filename().string() + "." + std::to_string(n) + ".tmp");
            errno = 0;
            file = std::fopen(temporary.string().c_str(), "wx");
            err = errno;
            if (!file && err != EEXIST)
                break;
        }
        if (file)
            cleanup.emplace(temporary);
    }
    if (!file)
        throw write_error(target, err ? err : EEXIST);

    const bool written =
        std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0;
    err = written ? 0 : errno;
    const bool closed = std::fclose(file) == 0;
    if (!closed && !err)
        err = errno;
    if (!written || !closed) {
        fs::remove(temporary, ec);
        throw write_error(target, err ? err : EIO);
    }
    if (existed)
        fs::permissions(temporary, fs::status(target, ec).permissions(), ec);
    fs::rename(temporary, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw write_error(target, ec.value());
    }
}

} // namespace tarvik
