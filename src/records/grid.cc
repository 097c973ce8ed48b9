// Grid records (see grid.h).
#include "records/grid.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "host/frame.h"
#include "records/dynamic.h"
#include "records/record_io.h"
#include "records/record_steps.h"
#include "records/scanners.h"
#include "transport/commands.h"
#include "transport/connection.h"
#include "transport/http.h"
#include "transport/latin1.h"

namespace {

constexpr const wchar_t* Kind = L"GRID";

// The quoted texts of the header, in their order, with their fields.
struct TextItem {
  const wchar_t* keyword;
  size_t size;
  wchar_t* (*field)(GridRec&);
};

const TextItem kLeadingTexts[] = {
    {L"NAME", GridNameSize, [](GridRec& g) { return g.name; }},
    {L"INFO", GridTextSize, [](GridRec& g) { return g.info; }},
    {L"INFO2", GridInfo2Size, [](GridRec& g) { return g.info2; }},
    {L"ADDRESS", GridTextSize, [](GridRec& g) { return g.address; }},
    {L"POSTADDRESS", GridTextSize, [](GridRec& g) { return g.postaddress; }},
    {L"INFOGIVER", GridTextSize, [](GridRec& g) { return g.infogiver; }},
};

// A quoted or DYNAMIC text that must fit its field whole.
int32_t ReadText(const wchar_t* label, const TextItem& item, GridRec* header) {
  if (GetKeyStringDynamic(Kind, label, item.keyword, item.field(*header), item.size) != 1) return -1;
  return IORQuotedFits("GRID", label, item.keyword, item.size) ? 1 : -1;
}

int32_t ReadHeader(const wchar_t* label, GridRec* header, GridSubstances* substances, CodeString* activity,
                   CodeString* geo) {
  uint32_t* raster[] = {&header->x, &header->y, &header->nx, &header->ny, &header->dx, &header->dy};
  const wchar_t* rasterKeys[] = {L"X", L"Y", L"NX", L"NY", L"DX", L"DY"};
  for (int i = 0; i < 6; ++i) {
    if (GetKeyULong(Kind, label, rasterKeys[i], raster[i]) != 1) return -1;
  }
  for (const TextItem& item : kLeadingTexts) {
    if (ReadText(label, item, header) != 1) return -1;
  }
  if (GetKeyLongDynamic(Kind, label, L"DATE", &header->date) != 1 ||
      GetKeyLongDynamic(Kind, label, L"CHANGED", &header->changed) != 1) {
    return -1;
  }
  TextItem misc{L"MISC", GridTextSize, [](GridRec& g) { return g.misc; }};
  if (ReadText(label, misc, header) != 1) return -1;
  if (GetKeyLongDynamic(Kind, label, L"FUEL", &header->fuel) != 1 ||
      GetKeyLongDynamic(Kind, label, L"FORMULA", &header->formula) != 1) {
    return -1;
  }
  for (int k = 0; k < 5; ++k) {
    wchar_t keyword[16];
    swprintf(keyword, 16, L"SEARCHKEY%d", k + 1);
    if (GetKeyLongDynamic(Kind, label, keyword, &header->searchkey[k]) != 1) return -1;
  }
  if (GetKeyCodeDynamic(Kind, label, L"ACTIVITYCODE", activity) != 1 ||
      GetKeyCodeDynamic(Kind, label, L"GEOCODE", geo) != 1) {
    return -1;
  }
  if (header->fuel != 0) return 1;
  // The substance list: every "SUBSTANCE n" line up to the first other line.
  for (;;) {
    int32_t r = IORGetLine();
    if (r < 0) return -1;
    if (r == 0) return 1;
    int32_t index = 0;
    if (!keyscan::ScanLong(IORLine(), L"SUBSTANCE", &index)) return 1;
    if (index < INT16_MIN || index > INT16_MAX) {
      SetErrorText("GRID (%s): substance index out of range: %s\n", Narrow(label).c_str(), Narrow(IORLine()).c_str());
      return -1;
    }
    if (substances->count >= GridMaxSubstances) {
      SetErrorText("GRID (%s): more than %d substances, which the grid cannot hold\n", Narrow(label).c_str(),
                   static_cast<int>(GridMaxSubstances));
      return -1;
    }
    substances->index[substances->count++] = static_cast<int16_t>(index);
  }
}

int32_t Fail() {
  HTTPAbortCommand();
  return -1;
}

int32_t WriteHeader(const GridRec& h, const GridSubstances& substances, const wchar_t* activity,
                    const wchar_t* geo) {
  const uint32_t raster[] = {h.x, h.y, h.nx, h.ny, h.dx, h.dy};
  const wchar_t* rasterKeys[] = {L"X", L"Y", L"NX", L"NY", L"DX", L"DY"};
  for (int i = 0; i < 6; ++i) {
    if (IOLSendLine(L"%ls %lu", rasterKeys[i], static_cast<unsigned long>(raster[i])) != 1) return -1;
  }
  GridRec& g = const_cast<GridRec&>(h);
  for (const TextItem& item : kLeadingTexts) {
    if (PutKeyStringDynamic(item.keyword, FieldText(item.field(g), item.size).c_str()) != 1) return -1;
  }
  if (PutKeyLongDynamic(L"DATE", h.date) != 1 || PutKeyLongDynamic(L"CHANGED", h.changed) != 1 ||
      PutKeyStringDynamic(L"MISC", FieldText(h.misc, GridTextSize).c_str()) != 1 ||
      PutKeyLongDynamic(L"FUEL", h.fuel) != 1 || PutKeyLongDynamic(L"FORMULA", h.formula) != 1) {
    return -1;
  }
  for (int k = 0; k < 5; ++k) {
    wchar_t keyword[16];
    swprintf(keyword, 16, L"SEARCHKEY%d", k + 1);
    if (PutKeyLongDynamic(keyword, h.searchkey[k]) != 1) return -1;
  }
  if (PutKeyCodeDynamic(L"ACTIVITYCODE", activity) != 1 || PutKeyCodeDynamic(L"GEOCODE", geo) != 1) return -1;
  if (h.fuel != 0) return 1;
  for (int32_t i = 0; i < substances.count && i < GridMaxSubstances; ++i) {
    if (IOLSendLine(L"SUBSTANCE %d", static_cast<int>(substances.index[i])) != 1) return -1;
  }
  return 1;
}

int32_t StartUpload(const wchar_t* name, const GridRec& header, const GridSubstances& substances,
                    const wchar_t* activity, const wchar_t* geo) {
  HTTPAbortCommand();
  if (IOLGridPutInit(name) != 1 || IOLGridPutAsc(name) != 1 ||
      WriteHeader(header, substances, activity, geo) != 1) {
    return Fail();
  }
  // The server may object to the header before the data is sent.
  wchar_t* line = IOLLineBuffer();
  int32_t r = IOLGetLine(line);
  if (r < 0) return Fail();
  if (r == 1) {
    SetErrorText("Error writing grid asc file: %s", Narrow(line).c_str());
    return Fail();
  }
  return IOLGridPutData(name) == 1 ? 1 : Fail();
}

int32_t SendRow(const GridRec& header, const GridFields& fields) {
  std::wstring line;
  for (int32_t i = 0; i < header.fieldCount; ++i) {
    if (i > 0) line += L'@';
    if (static_cast<size_t>(i) < fields.size()) line += fields[static_cast<size_t>(i)];
  }
  std::string narrow(line.size(), '\0');
  WideToLatin1(line.c_str(), &narrow[0], narrow.size() + 1);
  return IOLSendNarrowLine(narrow) == 1 ? 1 : Fail();
}

}  // namespace

bool SplitGridLine(const wchar_t* line, GridFields* fields) {
  size_t n = 0;
  const wchar_t* start = line;
  for (;;) {
    const wchar_t* at = wcschr(start, L'@');
    size_t length = at ? static_cast<size_t>(at - start) : wcslen(start);
    if (!at && length > 0 && start[length - 1] == L'\n') --length;
    if (n >= static_cast<size_t>(GridMaxFields)) return false;
    if (fields->size() <= n) fields->emplace_back();
    (*fields)[n].assign(start, length);
    ++n;
    if (!at) break;
    start = at + 1;
  }
  fields->resize(n);
  return true;
}

int32_t IORGridGetNames(int32_t first, wchar_t* name) {
  if (DebugLevel > 0) DebugPrint(" --> IORGridGetNames(%d)\n", static_cast<int>(first));
  if (first) {
    HTTPAbortCommand();
    if (IOLGridsGetAllNames() != 1) return IORLogged("IORGridGetNames", -1);
  }
  name[0] = L'\0';
  return IORLogged("IORGridGetNames", IOLGetLine(name));
}

int32_t IORGridGet(int32_t first, const wchar_t* name, GridRec* header, GridSubstances* substances,
                   GridFields* fields, CodeString* activity, CodeString* geo) {
  if (first) {
    if (DebugLevel > 0) DebugPrint(" --> IORGridGet(1, %s)\n", Narrow(name).c_str());
    IORStartRead();
    std::memset(header, 0, sizeof *header);
    substances->count = 0;
    CopyCode(activity, L"");
    CopyCode(geo, L"");
    if (IOLGridGetInit(name) != 1 || IOLGridGetAsc(name) != 1) return IORLogged("IORGridGet", -1);
    if (ReadHeader(name, header, substances, activity, geo) != 1) return IORLogged("IORGridGet", Fail());
    IORStartRead();  // the rest of the header reply is not needed
    return IORLogged("IORGridGet", IOLGridGetData(name) == 1 ? 1 : -1);
  }
  int32_t r = IORGetLine();
  if (r == 1) {
    if (!SplitGridLine(IORLine(), fields)) {
      SetErrorText("GRID (%s): a data line has more than %d fields, which the grid cannot hold: %.60s...\n",
                   Narrow(name).c_str(), static_cast<int>(GridMaxFields), Narrow(IORLine()).c_str());
      return Fail();
    }
    return 1;
  }
  if (r == 0) {
    HTTPAbortCommand();
    IOLGridCleanup(name);
  }
  return r;
}

int32_t IORGridPut(int32_t step, const wchar_t* name, const GridRec* header, const GridSubstances* substances,
                   const GridFields* fields, const wchar_t* activity, const wchar_t* geo) {
  switch (step) {
    case GridPutStart: {
      if (DebugLevel > 0) DebugPrint(" --> IORGridPut(0, %s)\n", Narrow(name).c_str());
      return IORLogged("IORGridPut", StartUpload(name, *header, *substances, activity, geo));
    }
    case GridPutRow:
      return SendRow(*header, *fields);
    case GridPutFinish: {
      if (DebugLevel > 0) DebugPrint(" --> IORGridPut(2, %s)\n", Narrow(name).c_str());
      int32_t r = IOLGridPutDone(name);
      if (r == 1) {
        IOLGridCleanup(name);
      }
      HTTPAbortCommand();
      return IORLogged("IORGridPut", r == 1 ? 1 : -1);
    }
    default:
      HTTPAbortCommand();
      return 1;
  }
}
