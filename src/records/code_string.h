// CodeString: a code value of any length (geographic codes, activity codes)
// in a buffer that grows to exactly the length it needs and is reused.
#pragma once

#include <cstdint>

struct CodeString {
  int32_t capacity = 0;     // size of data in wide characters
  wchar_t* data = nullptr;  // the code; absent or empty: no code

  CodeString() = default;
  ~CodeString();
  CodeString(const CodeString&) = delete;
  CodeString& operator=(const CodeString&) = delete;

  // The code, "" when there is none.
  const wchar_t* Text() const { return data ? data : L""; }
};

// Copies text into code, enlarging it to exactly length + 1 characters when
// it is too small: 0, or -1 with "Can't realloc memory for code".
int32_t CopyCode(CodeString* code, const wchar_t* text);
