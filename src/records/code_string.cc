// Growable code texts (see code_string.h).
#include "records/code_string.h"

#include <cstdint>
#include <cstdlib>
#include <cwchar>

#include "host/frame.h"

CodeString::~CodeString() { std::free(data); }

int32_t CopyCode(CodeString* code, const wchar_t* text) {
  if (!text) text = L"";
  size_t length = wcslen(text);
  if (length >= static_cast<size_t>(INT32_MAX)) {
    SetErrorText("Can't realloc memory for code");
    return -1;
  }
  int32_t needed = static_cast<int32_t>(length) + 1;
  if (code->capacity < needed || !code->data) {
    void* grown = std::realloc(code->data, static_cast<size_t>(needed) * sizeof(wchar_t));
    if (!grown) {
      SetErrorText("Can't realloc memory for code");
      return -1;
    }
    code->data = static_cast<wchar_t*>(grown);
    code->capacity = needed;
  }
  wmemmove(code->data, text, length + 1);
  return 0;
}
