// The latest error text and the diagnostic log (see frame.h).
#include "host/frame.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "port/port.h"

int32_t DebugLevel = 0;

namespace {

char g_errorText[ErrorTextSize];
FILE* g_log = nullptr;
std::string g_secret;

std::string Masked(std::string text) {
  if (g_secret.empty()) return text;
  for (size_t at = text.find(g_secret); at != std::string::npos; at = text.find(g_secret, at + 4)) {
    text.replace(at, g_secret.size(), "****");
  }
  return text;
}

// The formatted text whole, with the secret masked; formatting errors give "".
std::string Format(const char* format, va_list args) {
  va_list again;
  va_copy(again, args);
  char small[1024];
  int n = vsnprintf(small, sizeof small, format, args);
  std::string text;
  if (n >= 0 && static_cast<size_t>(n) < sizeof small) {
    text.assign(small, static_cast<size_t>(n));
  } else if (n >= 0) {
    text.resize(static_cast<size_t>(n) + 1);
    vsnprintf(&text[0], text.size(), format, again);
    text.resize(static_cast<size_t>(n));
  }
  va_end(again);
  return Masked(std::move(text));
}

// Appends formatted text at offset `used`, cutting at the buffer's end.
void FormatAt(size_t used, const char* format, va_list args) {
  if (used >= ErrorTextSize - 1) return;
  std::string text = Format(format, args);
  size_t n = text.size() < ErrorTextSize - 1 - used ? text.size() : ErrorTextSize - 1 - used;
  memcpy(g_errorText + used, text.data(), n);
  g_errorText[used + n] = '\0';
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

void SetMaskedSecret(const char* secret) { g_secret = secret ? secret : ""; }

void DebugPrint(const char* format, ...) {
  if (!g_log) return;
  va_list args;
  va_start(args, format);
  std::string text = Format(format, args);
  va_end(args);
  fwrite(text.data(), 1, text.size(), g_log);
  fflush(g_log);
}

void DebugWrite(const void* data, size_t size) {
  if (!g_log || !data) return;
  std::string text = Masked(std::string(static_cast<const char*>(data), size));
  fwrite(text.data(), 1, text.size(), g_log);
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
