#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace tarvik {

// A file that could not be written: the message names the file and the reason; `reason` is the
// system's reason alone ("No such file or directory").
class FileWriteError : public std::runtime_error {
  public:
    FileWriteError(const std::string& message, std::string reason)
        : std::runtime_error(message), reason_(std::move(reason)) {}
    const std::string& reason() const { return reason_; }

  private:
    std::string reason_;
};

// Writes the text to a new file beside the target and renames it over the target, so that a failure
// part way leaves an existing file as it was and no half-written one in its place. The temporary file
// has a random name, is created exclusively and is on the disk before the rename. A symbolic link is
// followed and the file it points to is replaced. A device, FIFO or socket is written to directly, never
// replaced; a FIFO without a reader is an error, not a wait. An existing target that cannot be opened for
// writing is refused rather than replaced. SIGINT or SIGTERM during the write removes the temporary file
// before the signal takes its course. Throws FileWriteError naming the path as given and the reason.
void write_file_replacing(const std::filesystem::path& target, const std::string& text);

} // namespace tarvik
