// Text conversion between the library's wide strings and the server's 8-bit
// ISO 8859-1 text, character by character (never through the C locale).
#pragma once

#include <cstddef>
#include <string>

// Characters above U+00FF have no 8-bit form; they become this byte.
constexpr char NoLatin1Form = '?';

// Converts at most outSize - 1 characters and terminates; returns the number
// written.  outSize 0 writes nothing.
size_t WideToLatin1(const wchar_t* in, char* out, size_t outSize);
size_t Latin1ToWide(const char* in, wchar_t* out, size_t outSize);

// True when every character of the text has an 8-bit form.
bool IsLatin1(const wchar_t* text);

// Whole-string forms, for messages and the log (null gives "").
std::string Narrow(const wchar_t* text);
std::wstring Widen(const char* text);
