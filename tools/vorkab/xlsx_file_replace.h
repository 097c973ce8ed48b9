// Replacing a file as a whole: the new content goes to a temporary file
// beside the target, which is renamed over the target only when it has been
// completely written and flushed to disk.  Whatever fails, the target is left
// as it was and the temporary file is removed.  (POSIX; the command-line
// host is built for Linux.)
#pragma once

#include <cstddef>
#include <string>

namespace xlsx {

// False with the reason (without the file's name).  A symbolic link is
// followed: the file it names is replaced.  A replaced file keeps its
// permission bits.
bool ReplaceFile(const std::string& path, const std::string& bytes, std::string* error);

// For tests: the next ReplaceFile fails after writing this many bytes of the
// temporary file, as a full disk would.
void FailNextReplaceAfterForTesting(size_t bytes);

}  // namespace xlsx
