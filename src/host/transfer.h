// The incremental transfer protocol shared by every Load and Save export: a
// start call, continue calls that each move one batch and report a running
// count, and aborts.  Each kind supplies its record layer, sheet object and
// list through LoadKind / SaveKind; the driver owns the protocol.
#pragma once

#include <cstdint>

// Mode values of the Load and Save exports.
enum TransferMode : int32_t {
  TransferContinue = 0,
  TransferStart = 1,
  TransferSaveFlag0 = 2,  // Save start: upload with TransferFlags bit 0
  TransferSaveFlag1 = 4,  // Save start: upload with TransferFlags bit 1 (some kinds)
  TransferNewSheet = 8,   // Load of a kind that spans sheets: go on into a new sheet
};

// The result of a Load call whose sheet is full: the macro adds a sheet and
// calls again with TransferNewSheet and its name.
constexpr int32_t TransferSheetFull = 2;

// A Save's mode without its flag values 2 and 4.
inline int32_t MaskedSaveMode(int32_t mode) {
  return mode & ~static_cast<int32_t>(TransferSaveFlag0 | TransferSaveFlag1);
}
// True when a Save's mode starts a new transfer.
inline bool IsSaveStart(int32_t mode) { return MaskedSaveMode(mode) == TransferStart; }

// Records moved per call.
constexpr int32_t TransferBatch = 10;
// Characters the caller's count buffer holds.
constexpr int CountBufferSize = 12;

// One kind's side of a Load (server to sheet).
class LoadKind {
 public:
  virtual ~LoadKind() = default;
  // Creates and opens the sheet writer; false with ErrorText set.
  virtual bool OpenWriter() = 0;
  // Destroys the writer (nothing when there is none).
  virtual void CloseWriter() = 0;
  virtual bool HasWriter() const = 0;
  virtual void ClearList() = 0;
  virtual void SortList() = 0;
  // The record layer: 1 a record, 0 no more, -1 failure.
  virtual int32_t ReadRecord(bool first) = 0;
  // Adds the record to the list and writes it into the sheet; false when
  // the sheet write fails (ErrorText set).
  virtual bool StoreRecord() = 0;
  // Records moved per call.
  virtual int32_t Batch() const { return TransferBatch; }
  // For kinds that span sheets: true after StoreRecord when the sheet holds
  // what it can, so that the Load goes on in a new sheet (TransferNewSheet).
  virtual bool SpansSheets() const { return false; }
  virtual bool SheetFull() const { return false; }
};

// One kind's side of a Save (sheet to server).
class SaveKind {
 public:
  virtual ~SaveKind() = default;
  // Creates and opens the sheet reader; false with ErrorText set.
  virtual bool OpenReader() = 0;
  virtual void CloseReader() = 0;
  virtual bool HasReader() const = 0;
  // Opens the upload with the record layer's start operation (0, 4 or 5).
  virtual int32_t StartUpload(int32_t operation) = 0;
  // The next sheet row into the record: 1, 0 no more rows, -1 failure.
  virtual int32_t ReadRow() = 0;
  // Sends the record: 1, or the failure.
  virtual int32_t SendRecord() = 0;
  // Ends the upload and checks the server's answer: 1 accepted.
  virtual int32_t FinishUpload() = 0;
  // Whether mode value 4 (TransferFlags bit 1) means anything for this kind.
  virtual bool KnowsFlag1() const { return false; }
};

// A kind's transfer state between calls.
struct TransferState {
  int32_t counter = 0;
  bool open = false;
  // The transport's command number when the last call returned 1: a
  // different number on the next call means another request closed this
  // transfer's reply or upload in between (HTTPCommandNumber).
  uint32_t command = 0;
};

// A continue call after another request used the connection fails (-1) with
// a text saying so, and the transfer is over; it never ends as finished.

// Ends one call of a transfer export: writes the records moved so far into
// `count` (when not null; REQUIRES: room for CountBufferSize characters),
// logs "<-- name = result [counter]" and returns `result`.
int32_t FinishTransferCall(const char* name, const TransferState& state, wchar_t* count, int32_t result);

// Runs one Load call.  `name` is the export's name and `args` its arguments
// for the log (e.g. "1, 0").
int32_t RunLoad(const char* name, const char* args, TransferState& state, LoadKind& kind, int32_t mode,
                wchar_t* count);

// Runs one Save call (mode carries the flag values 2 and 4 when starting).
int32_t RunSave(const char* name, const char* args, TransferState& state, SaveKind& kind, int32_t mode,
                wchar_t* count);

// The record layer operation a Save start opens the upload with.
int32_t SaveStartOperation(int32_t mode, bool knowsFlag1);
