// The platform helpers of our own on Windows; WinINet and the kernel calls
// come from the system (see port.h).
#include "port/port.h"

#include <share.h>

#include <cerrno>

namespace port {

const char* DefaultLogPath() { return "C:\\Temp\\vorkab.log"; }

FILE* OpenSharedForWriting(const char* path) {
  if (!path) {  // the run-time would stop the process on a null path
    errno = EINVAL;
    return nullptr;
  }
  // Others may read the log while we write it, but not write it.
  return _fsopen(path, "w", _SH_DENYWR);
}

const char* TransportIdentification() { return "WinINet"; }

}  // namespace port
