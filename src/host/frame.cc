// The latest error text and the diagnostic log (see frame.h).
#include "host/frame.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "port/port.h"

int32_t DebugLevel = 0;

namespace {

char g_errorText[ErrorTextSize];
FILE* g_log = nullptr;

// Appends formatted text at offset `used`, cutting at the buffer's end.
void FormatAt(size_t used, const char* format, va_list args) {
  if (used >= ErrorTextSize - 1) return;
  int n = vsnprintf(g_errorText + used, ErrorTextSize - used, format, args);
  if (n < 0) g_errorText[used] = '\0';
}

}  // namespace

void SetErrorText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatAt(0, format, args);
  va_end(args);
}

void AppendErrorText(const char* format, ...) {
  size_t used = strlen(g_errorText);
  if (used > 0 && used < ErrorTextSize - 1) {
    g_errorText[used++] = '\n';
    g_errorText[used] = '\0';
  }
  va_list args;
  va_start(args, format);
  FormatAt(used, format, args);
  va_end(args);
}

void ClearErrorText() { g_errorText[0] = '\0'; }

const char* GetErrorText() { return g_errorText; }

void DebugPrint(const char* format, ...) {
  if (!g_log) return;
  va_list args;
  va_start(args, format);
  vfprintf(g_log, format, args);
  va_end(args);
  fflush(g_log);
}

void DebugWrite(const void* data, size_t size) {
  if (!g_log || !data) return;
  fwrite(data, 1, size, g_log);
  fflush(g_log);
}

bool OpenDebugLog(const char* path) {
  FILE* f = port::OpenSharedForWriting(path);
  if (!f) {
    int err = errno;
    SetErrorText("Can't open debug (%d) log file \"%s\": %s", static_cast<int>(DebugLevel), path,
                 strerror(err));
    return false;
  }
  g_log = f;
  return true;
}

void CloseDebugLog() {
  if (g_log) fclose(g_log);
  g_log = nullptr;
}

bool DebugLogIsOpen() { return g_log != nullptr; }
