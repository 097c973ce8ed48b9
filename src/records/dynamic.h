// Fields that may carry the word DYNAMIC instead of a value: their scanners
// (DYNAMIC becomes -1 or DynamicMarker in memory) and their writers (back
// into the word).
#pragma once

#include <cstddef>
#include <cstdint>

#include "records/code_string.h"

// keyword and a number, or keyword DYNAMIC (-1): 1, or -1 with a scanner message.
int32_t GetKeyLongDynamic(const wchar_t* kind, const wchar_t* label, const wchar_t* keyword, int32_t* out);

// keyword and a quoted text (cut to size - 1), or keyword DYNAMIC
// (DynamicMarker); the keyword with anything else gives an empty text.
int32_t GetKeyStringDynamic(const wchar_t* kind, const wchar_t* label, const wchar_t* keyword, wchar_t* out,
                            size_t size);

// The text after the keyword and one separating character, or DynamicMarker
// for DYNAMIC; the keyword alone gives an empty code.
int32_t GetKeyCodeDynamic(const wchar_t* kind, const wchar_t* label, const wchar_t* keyword, CodeString* code);

// The writers; each returns the result of IOLSendLine.
int32_t PutKeyCodeDynamic(const wchar_t* keyword, const wchar_t* code);
int32_t PutKeyLongDynamic(const wchar_t* keyword, int32_t value);
int32_t PutKeyStringDynamic(const wchar_t* keyword, const wchar_t* text);
