// The library's process-wide frame: the latest error text that every layer
// fills and VKError hands out, the diagnostic level and the diagnostic log.
//
// Log lines follow one layout throughout the library: "--> Name(args)" on
// entry and "<-- Name = result" on exit, indented by layer (exports none,
// record layer one blank, command layer two, HTTP layer four, HTTP details
// six).  Callers test DebugLevel before calling DebugPrint.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__GNUC__)
#define VK_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define VK_PRINTF(fmt, args)
#endif

// Size of ErrorText in bytes; it holds at most ErrorTextSize - 1 characters.
constexpr size_t ErrorTextSize = 10240;

// Diagnostic depth: > 0 log entry/exit lines, > 1 HTTP details,
// > 2 every line sent and received.
extern int32_t DebugLevel;

// printf-style; replaces the text.  Longer text is cut.
void SetErrorText(const char* format, ...) VK_PRINTF(1, 2);
// printf-style; adds a line feed first when the text is not empty.
void AppendErrorText(const char* format, ...) VK_PRINTF(1, 2);
void ClearErrorText();
const char* GetErrorText();

// The session's secret (its authenticator, which decodes to user and
// password): from now on every occurrence of it in an error text or a log
// line is written as "****".  Null or empty forgets it.
void SetMaskedSecret(const char* secret);

// printf-style write into the log, flushed at once; nothing without a log.
void DebugPrint(const char* format, ...) VK_PRINTF(1, 2);
// Writes bytes into the log as they are and flushes.
void DebugWrite(const void* data, size_t size);
// Opens (truncating) the log; on failure sets ErrorText and returns false.
bool OpenDebugLog(const char* path);
void CloseDebugLog();
bool DebugLogIsOpen();
