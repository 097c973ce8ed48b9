// What every record reader and writer shares: the record layer's own reply
// line buffer (with a one-line push-back), the start of a read, and the
// writer protocol driven by operation codes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "host/frame.h"
#include "transport/connection.h"

// Writer operation codes.
enum RecordOperation : int32_t {
  RecordStart = 0,       // open the save with TransferFlags 0
  RecordWrite = 1,       // write one record as its keyword lines
  RecordFinish = 2,      // "EOF", send the body, check the reply, close
  RecordAbort = 3,       // close the save
  RecordStartFlag0 = 4,  // open the save with TransferFlags bit 0
  RecordStartFlag1 = 5,  // open the save with TransferFlags bit 1 (only kinds that know it)
};

// The value word a field may carry instead of a value, and what a text or
// code field holds in memory in its place.
constexpr const wchar_t* DynamicWord = L"DYNAMIC";
constexpr const wchar_t* DynamicMarker = L"VELDRAN_DYNAMIC";

// The longest reply line the record layer takes, in characters.
constexpr size_t MaxRecordLine = LineBufferSize - 1;

// The record layer's line buffer (LineBufferSize characters, terminated).
wchar_t* IORLine();

// Reads the next reply line into IORLine(): 1 a line, 0 end of reply, -1
// failure.  A line longer than MaxRecordLine characters is refused: -1 with
// ErrorText set and IORLineRefused() true until the next read.
int32_t IORGetLine();
bool IORLineRefused();

// Sets ErrorText for a missing or malformed line; after a refused line the
// text is added instead, so that the refusal stays in view.
void SetLineErrorText(const char* format, ...) VK_PRINTF(1, 2);

// Hands the line in IORLine() out once more on the next IORGetLine().
void IORUngetLine();

// Starts a new reply: forgets a pushed-back line and aborts any open request.
// The caller then sends its read command.
void IORStartRead();

// One writer operation of a record kind.  `start` opens the kind's save with
// the given TransferFlags; `write` prints one record.  Failures abort the
// request; the result is 1 or -1.
struct RecordSave {
  std::function<int32_t(int32_t flags)> start;
  std::function<int32_t()> write;
  const wchar_t* expectedReply = L"Ok.";  // every reply line must begin with it
  bool knowsStartFlag1 = false;           // operation 5 opens a save
};
int32_t RunRecordOperation(int32_t operation, const RecordSave& save);

// Copies at most size - 1 characters of text into out and terminates it.
void CopyCut(wchar_t* out, size_t size, const wchar_t* text);

// A fixed text field as a string of at most size - 1 characters, also when
// the field lacks its terminator.
std::wstring FieldText(const wchar_t* field, size_t size);
