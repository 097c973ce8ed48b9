// Writing a temporary file beside the target and renaming it over the target
// (see xlsx_file_replace.h).
#include "xlsx_file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace xlsx {

namespace {

bool g_failPending = false;
size_t g_failAfter = 0;

std::string Reason(const char* what, int code) { return std::string(what) + " (" + std::strerror(code) + ")"; }

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, const char* data, size_t size, int* code) {
  while (size > 0) {
    ssize_t n = write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      *code = errno;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

void FailNextReplaceAfterForTesting(size_t bytes) {
  g_failPending = true;
  g_failAfter = bytes;
}

bool ReplaceFile(const std::string& path, const std::string& bytes, std::string* error) {
  bool injectFailure = g_failPending;
  g_failPending = false;

  std::string target = path;
  struct stat st;
  bool exists = lstat(path.c_str(), &st) == 0;
  if (exists && S_ISLNK(st.st_mode)) {
    if (char* real = realpath(path.c_str(), nullptr)) {
      target = real;
      free(real);
    }
    exists = stat(target.c_str(), &st) == 0;
  }
  if (exists && !S_ISREG(st.st_mode)) {
    *error = "it is not a regular file";
    return false;
  }
  mode_t mode;
  if (exists) {
    mode = st.st_mode & 07777;
  } else {
    mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }

  std::string temp = target + ".XXXXXX";
  int fd = mkostemp(&temp[0], O_CLOEXEC);
  if (fd < 0) {
    *error = Reason("cannot create a temporary file in its folder", errno);
    return false;
  }
  int code = 0;
  const char* failed = nullptr;
  if (fchmod(fd, mode) != 0) {
    code = errno, failed = "cannot set the temporary file's permissions";
  } else if (injectFailure) {
    size_t part = g_failAfter < bytes.size() ? g_failAfter : bytes.size();
    if (WriteAll(fd, bytes.data(), part, &code)) code = ENOSPC;
    failed = "cannot write the temporary file";
  } else if (!WriteAll(fd, bytes.data(), bytes.size(), &code)) {
    failed = "cannot write the temporary file";
  } else if (fsync(fd) != 0) {
    code = errno, failed = "cannot flush the temporary file";
  }
  if (close(fd) != 0 && !failed) code = errno, failed = "cannot close the temporary file";
  if (!failed && rename(temp.c_str(), target.c_str()) != 0) {
    code = errno, failed = "cannot rename the temporary file over it";
  }
  if (failed) {
    unlink(temp.c_str());
    *error = Reason(failed, code);
    return false;
  }
  // The rename itself reaches the disk with the folder.
  int folder = open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    fsync(folder);
    close(folder);
  }
  return true;
}

}  // namespace xlsx
