// Attribute lines of a record (see alob.h).
#include "records/alob.h"

#include <cstdlib>
#include <cwchar>
#include <string>

#include "host/frame.h"
#include "records/record_io.h"
#include "transport/commands.h"
#include "transport/latin1.h"

Alob::~Alob() { std::free(data); }

void Alob::Clear() {
  if (data) data[0] = L'\0';
}

int32_t GetAlob(Alob* alob, int32_t n, const wchar_t* label) {
  alob->Clear();
  for (int32_t i = 0; i < n; ++i) {
    if (IORGetLine() != 1) return -1;
    const wchar_t* line = IORLine();
    if (wcslen(line) > static_cast<size_t>(MaxAlobLine)) {
      SetErrorText("ALOB must be less than 255 chars: %s\n", Narrow(line).c_str());
      return -1;
    }
    if (AlobConcatenate(alob, line, label) != 0) {
      SetErrorText("CAn't allocate memory for ALOB: %s\n", Narrow(line).c_str());
      return -1;
    }
  }
  return 0;
}

int32_t AlobConcatenate(Alob* alob, const wchar_t* line, const wchar_t* label) {
  size_t used = alob->data ? wcslen(alob->data) : 0;
  size_t length = wcslen(line);
  size_t needed = used + length + 2;
  size_t capacity = alob->capacity;
  while (needed > capacity) capacity += AlobGrowStep;
  if (capacity > UINT32_MAX / sizeof(wchar_t)) {
    SetErrorText("Source (%s): Error allocating ALOB", Narrow(label).c_str());
    return -1;
  }
  if (capacity != alob->capacity || !alob->data) {
    void* grown = std::realloc(alob->data, capacity * sizeof(wchar_t));
    if (!grown) {
      SetErrorText("Source (%s): Error allocating ALOB", Narrow(label).c_str());
      return -1;
    }
    alob->data = static_cast<wchar_t*>(grown);
    if (alob->capacity == 0) alob->data[0] = L'\0';
    alob->capacity = static_cast<uint32_t>(capacity);
  }
  wchar_t* end = alob->data + used;
  if (used > 0) *end++ = L'\n';
  wmemcpy(end, line, length + 1);
  return 0;
}

int32_t PutAlob(const Alob* alob, const wchar_t* label, const wchar_t* prefix) {
  if (!prefix) prefix = L"";
  const wchar_t* text = alob ? alob->Text() : L"";
  if (!*text) return IOLSendLine(L"%lsALOB 0", prefix) == 1 ? 0 : -1;
  int lines = 1;
  for (const wchar_t* c = text; *c; ++c) {
    if (*c == L'\n') ++lines;
  }
  if (IOLSendLine(L"%lsALOB %d", prefix, lines) != 1) return -1;
  // One line at a time, so that the diagnostic log shows each as sent.
  std::wstring line;
  for (const wchar_t* start = text;;) {
    const wchar_t* end = wcschr(start, L'\n');
    line.assign(start, end ? static_cast<size_t>(end - start) : wcslen(start));
    if (IOLSendLine(L"%ls", line.c_str()) != 1) return -1;
    if (!end) return 0;
    start = end + 1;
  }
}
