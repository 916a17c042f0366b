#pragma once

#include "ui/figure.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tarvik {

// Session files (".tarvik"): the main window with every menu item and control and the record stored
// with it, as one JSON document. docs/session-format.md describes the format. Nothing here touches the
// running session: the handlers (session_menu.h) decide what to replace.

inline constexpr std::string_view kSessionFormatName = "tarvik3d-session";
inline constexpr int kSessionFormatVersion = 7;
inline constexpr std::string_view kSessionExtension = ".tarvik";

// Why a session could not be written or read: the file cannot be read or written, is not a session file,
// is damaged or incomplete, or was written by a newer version. The text says which, in the user's words.
class SessionFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// What a session text holds: by default it leaves out what opening derives again exactly (the subjects'
// tokens, the normalized table, the groups' tokens and the coordinates and outlines of their fits) and
// keeps only the counts of an overlap estimate, whose shares follow from them; `Full` writes every field
// as it stands (the same session, opened).
enum class SessionDetail { Compact, Full };

// The session as JSON text.
std::string session_to_text(const Figure& window, const Handles& handles,
                            SessionDetail detail = SessionDetail::Compact);

// A new window re-created from session text, with its record stored. The whole text is checked first:
// every field present with its type, the window's objects exactly those of this version's layout, every
// control reference naming one of them. Throws SessionFileError naming the first fault. A file of format 1
// opens with its fits' mirrored axes (see fit_orientation.h); `formatVersion`, when given, receives the
// file's format.
std::shared_ptr<Figure> session_from_text(std::string_view text, int* formatVersion = nullptr);

// The name a session is saved under: ".tarvik" is appended unless the name contains it anywhere.
std::string with_session_extension(std::string name);

// Writes the session to `path`. The text goes to a new file beside it first and is then renamed over
// `path`, so that a failed save leaves an earlier file of that name as it was. Throws SessionFileError.
void save_session_file(const std::string& path, const Figure& window, const Handles& handles);

// Reads and checks a whole session file (see session_from_text). Throws SessionFileError, whose text
// names the file and the fault.
std::shared_ptr<Figure> load_session_file(const std::string& path, int* formatVersion = nullptr);

} // namespace tarvik
