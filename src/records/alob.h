// Alob: the attribute lines of a record, joined by line feeds, with their
// reading from a reply and their writing into a save body.
#pragma once

#include <cstdint>

// An ALOB line holds at most this many characters.
constexpr int32_t MaxAlobLine = 254;
// The buffer grows in steps of this many characters.
constexpr uint32_t AlobGrowStep = 512;

struct Alob {
  uint32_t capacity = 0;    // size of data in wide characters; 0 while absent
  wchar_t* data = nullptr;  // the lines joined by LF, no LF after the last

  Alob() = default;
  ~Alob();
  Alob(const Alob&) = delete;
  Alob& operator=(const Alob&) = delete;

  // Empties the text; the buffer is kept for the next record.
  void Clear();
  // The text, "" when there is none.
  const wchar_t* Text() const { return data ? data : L""; }
};

// Reads n reply lines into alob (emptied first): 0, or -1.  A missing line
// gives -1 without a message of its own; a line of more than 254 characters
// is refused with "ALOB must be less than 255 chars: ...".
int32_t GetAlob(Alob* alob, int32_t n, const wchar_t* label);

// Appends line (after an LF when alob is not empty): 0, or -1 with
// "Source (<label>): Error allocating ALOB".
int32_t AlobConcatenate(Alob* alob, const wchar_t* line, const wchar_t* label);

// Writes "<prefix>ALOB <n>" and the n lines: 0, or -1 when a write fails.
int32_t PutAlob(const Alob* alob, const wchar_t* label, const wchar_t* prefix);
