// The incremental Load and Save protocol (see transfer.h).
#include "host/transfer.h"

#include <cwchar>

#include "host/frame.h"
#include "records/record_io.h"
#include "transport/http.h"

namespace {

// Returns 1 after noting the transport's command, so that the next call can
// tell whether the reply or upload it left open is still its own.
int32_t Pause(const char* name, TransferState& state, wchar_t* count) {
  state.command = HTTPCommandNumber();
  return FinishTransferCall(name, state, count, 1);
}

bool Interrupted(const char* name, const TransferState& state, const char* what) {
  if (state.command == HTTPCommandNumber()) return false;
  SetErrorText("%s: another request to Kalvoro interrupted this transfer between its calls; %s. Start it again.",
               name, what);
  return true;
}

int32_t EarlyFailure(const char* name, const char* step) {
  if (DebugLevel > 0) DebugPrint("<-- %s%s = -1\n", name, step);
  return -1;
}

}  // namespace

int32_t FinishTransferCall(const char* name, const TransferState& state, wchar_t* count, int32_t result) {
  if (count) swprintf(count, CountBufferSize, L"%d", static_cast<int>(state.counter));
  if (DebugLevel > 0) DebugPrint("<-- %s = %d [%d]\n", name, static_cast<int>(result), static_cast<int>(state.counter));
  return result;
}

int32_t RunLoad(const char* name, const char* args, TransferState& state, LoadKind& kind, int32_t mode,
                wchar_t* count) {
  if (DebugLevel > 0) DebugPrint("--> %s(%s)\n", name, args);
  bool newSheet = mode == TransferNewSheet && kind.SpansSheets();
  if (newSheet) {
    // The previous sheet is full: the rest goes into the sheet now named.
    if (!state.open || kind.HasWriter()) {
      SetErrorText("%s: no transfer waits for a new sheet; start one first.", name);
      return FinishTransferCall(name, state, count, -1);
    }
    if (Interrupted(name, state, "the sheets hold only the records read before")) {
      kind.SortList();
      state.open = false;
      return FinishTransferCall(name, state, count, -1);
    }
    if (!kind.OpenWriter()) return FinishTransferCall(name, state, count, -1);
    mode = TransferContinue;
  } else if (mode != TransferStart && mode != TransferContinue) {
    HTTPAbortCommand();
    kind.CloseWriter();
    state.open = false;
    return FinishTransferCall(name, state, count, 0);
  }
  bool first = mode == TransferStart;
  if (first) {
    // A transfer of this kind still open is given up first.
    if (state.open || kind.HasWriter()) {
      HTTPAbortCommand();
      kind.CloseWriter();
    }
    state.counter = 0;
    state.open = false;
    if (!kind.OpenWriter()) return EarlyFailure(name, " (LOAD_FIRST)");
    kind.ClearList();
    state.open = true;
  } else if (newSheet) {
    // Checked above: the transfer goes on in the new sheet's writer.
  } else if (!state.open || !kind.HasWriter()) {
    SetErrorText("%s: no transfer in progress; start one first.", name);
    return FinishTransferCall(name, state, count, -1);
  } else if (Interrupted(name, state, "the sheet holds only the records read before")) {
    kind.CloseWriter();
    kind.SortList();
    state.open = false;
    return FinishTransferCall(name, state, count, -1);
  }

  int32_t r = kind.ReadRecord(first);
  while (r == 1) {
    ++state.counter;
    if (!kind.StoreRecord()) {
      r = -1;
      break;
    }
    if (kind.SheetFull()) {
      kind.CloseWriter();
      state.command = HTTPCommandNumber();
      return FinishTransferCall(name, state, count, TransferSheetFull);
    }
    if (state.counter % kind.Batch() == 0) return Pause(name, state, count);
    r = kind.ReadRecord(false);
  }
  kind.CloseWriter();
  kind.SortList();
  state.open = false;
  return FinishTransferCall(name, state, count, r < 0 ? -1 : 0);
}

int32_t SaveStartOperation(int32_t mode, bool knowsFlag1) {
  if (mode & TransferSaveFlag0) return RecordStartFlag0;
  if ((mode & TransferSaveFlag1) && knowsFlag1) return RecordStartFlag1;
  return RecordStart;
}

int32_t RunSave(const char* name, const char* args, TransferState& state, SaveKind& kind, int32_t mode,
                wchar_t* count) {
  if (DebugLevel > 0) DebugPrint("--> %s(%s)\n", name, args);
  int32_t masked = MaskedSaveMode(mode);
  if (masked != TransferStart && masked != TransferContinue) {
    HTTPAbortCommand();
    kind.CloseReader();
    state.open = false;
    return FinishTransferCall(name, state, count, 0);
  }
  if (masked == TransferStart) {
    if (state.open || kind.HasReader()) {
      HTTPAbortCommand();
      kind.CloseReader();
    }
    state.counter = 0;
    state.open = false;
    if (!kind.OpenReader() || kind.StartUpload(SaveStartOperation(mode, kind.KnowsFlag1())) != 1) {
      kind.CloseReader();
      return EarlyFailure(name, "");
    }
    state.open = true;
  } else if (!state.open || !kind.HasReader()) {
    SetErrorText("%s: no transfer in progress; start one first.", name);
    return FinishTransferCall(name, state, count, -1);
  } else if (Interrupted(name, state, "nothing was saved")) {
    kind.CloseReader();
    state.open = false;
    return FinishTransferCall(name, state, count, -1);
  }

  ++state.counter;
  int32_t result;
  for (;;) {
    int32_t r = kind.ReadRow();
    if (r < 0) {
      HTTPAbortCommand();
      result = -1;
      break;
    }
    if (r == 0) {
      r = kind.FinishUpload();
      result = r == 1 ? 0 : r;
      break;
    }
    r = kind.SendRecord();
    if (r != 1) {
      result = r;
      break;
    }
    ++state.counter;
    if (state.counter % TransferBatch == 0) return Pause(name, state, count);
  }
  kind.CloseReader();
  state.open = false;
  return FinishTransferCall(name, state, count, result);
}
