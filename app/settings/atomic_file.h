#pragma once

#include <string>

// Replaces a file's content so that a crash or a failed write never leaves a partial file:
// the bytes go to a temporary file beside the target, which is synced and renamed over it.
namespace AtomicFile {

// Returns true when the target now holds exactly the given bytes. On failure the target is
// unchanged and no temporary file remains. An existing target keeps its permission bits; a new
// one gets the process's default (0666 less the umask).
bool write(const std::string& path, const std::string& bytes);
// The same, and the target gets exactly this mode (0600 for a file holding credentials) before
// any byte reaches it; a negative mode behaves as above.
bool write(const std::string& path, const std::string& bytes, int mode);

}  // namespace AtomicFile
