#pragma once

#include <filesystem>
#include <string>

namespace tarvik {

// Writes the text to a new file beside the target and renames it over the target, so that a failure
// part way leaves an existing file as it was and no half-written one in its place. An existing target
// that cannot be opened for writing is refused rather than replaced. Throws std::runtime_error with a
// message naming the file and the reason.
void write_file_replacing(const std::filesystem::path& target, const std::string& text);

} // namespace tarvik
