// The server commands (see commands.h): read and list URLs, save headers, the
// checks of save replies, EDB creation and the grid save exchange.
#include "transport/commands.h"

#include <cstdarg>
#include <cwchar>
#include <string>
#include <vector>

#include "host/frame.h"
#include "transport/connection.h"
#include "transport/http.h"
#include "transport/latin1.h"
#include "transport/request_name.h"

namespace {

constexpr const wchar_t* SaveCommand = L"iedbvksave2.cgi?x";
// A formatted save line may grow to this many characters (long attribute
// lists travel as one line with embedded line feeds).
constexpr size_t MaxSendLine = 64u * 1024 * 1024;

const ConnPar& Conn() { return CurrentConnPar(); }

// Which of the current choice a request names.
enum Names { DatabaseOnly, DatabaseAndUser, DatabaseUserAndEdb };

// True when the names the request carries can be sent as they are;
// otherwise the request counts as failed (ErrorText says why).
bool SelectionFits(Names names, const wchar_t* edbName = nullptr) {
  const ConnPar& c = Conn();
  bool fits = RequestNameFits("database", c.database, false) &&
              (names < DatabaseAndUser || RequestNameFits("EDB user", c.edbUser)) &&
              (names < DatabaseUserAndEdb || RequestNameFits("EDB name", edbName ? edbName : c.edbName));
  if (!fits) HTTPRefuseCommand();
  return fits;
}

// The current choice as URL fields.
struct UrlNames {
  std::wstring database = UrlField(Conn().database);
  std::wstring edbUser = UrlField(Conn().edbUser);
  std::wstring edbName = UrlField(Conn().edbName);
};

int32_t Logged(const char* name, int32_t result) {
  if (DebugLevel > 0) DebugPrint("  <-- %s = %d\n", name, static_cast<int>(result));
  return result;
}

// Sends a GET for the URL built into `url`; adds the command layer's line on failure.
int32_t SendGet(const wchar_t* url, bool built) {
  if (!built || HTTPGet(Wcs2Mbs(url)) != 1) {
    AppendErrorText("Request '%s' failed", Narrow(url).c_str());
    return -1;
  }
  return 1;
}

// Opens a save POST and writes the four common header lines.
int32_t StartSave(wchar_t* url, const wchar_t* command, const wchar_t* edbName) {
  url[0] = L'\0';
  if (!SelectionFits(DatabaseUserAndEdb, edbName)) return -1;
  if (!MakeUrlBuf(url, SaveCommand) || HTTPPost(Wcs2Mbs(url)) != 1) {
    AppendErrorText("Request '%s' failed", Narrow(url).c_str());
    return -1;
  }
  const wchar_t* lines[] = {Conn().database, command, Conn().edbUser, edbName};
  for (const wchar_t* line : lines) {
    int32_t r = HTTPWriteLine(Wcs2Mbs(line));
    if (r != 1) return r;
  }
  return 1;
}

int32_t WriteNarrow(const wchar_t* line) { return HTTPWriteLine(Wcs2Mbs(line)); }

int32_t ReadCommand(const char* name, const wchar_t* kind, int32_t flags) {
  if (DebugLevel > 0) DebugPrint("  --> %s(0x%02x)\n", name, static_cast<unsigned>(flags));
  wchar_t url[UrlBufferSize];
  return Logged(name, SendDbReadCmd(url, kind, flags));
}

int32_t WriteCommand(const char* name, const wchar_t* kind, int32_t flags) {
  if (DebugLevel > 0) DebugPrint("  --> %s(0x%02x)\n", name, static_cast<unsigned>(flags));
  wchar_t url[UrlBufferSize];
  return Logged(name, SendDbWriteCmd(url, kind, -1, flags));
}

int32_t ListCommand(const char* name, bool built, const wchar_t* url) {
  if (DebugLevel > 0) DebugPrint("  --> %s()\n", name);
  return Logged(name, SendGet(url, built));
}

int32_t Refused(const char* name) {
  if (DebugLevel > 0) DebugPrint("  --> %s()\n", name);
  return Logged(name, -1);
}

int32_t GridRead(const char* name, const wchar_t* command, const wchar_t* grid) {
  if (!SelectionFits(DatabaseUserAndEdb)) return Refused(name);
  if (!RequestNameFits("grid name", grid, false)) {
    HTTPRefuseCommand();
    return Refused(name);
  }
  wchar_t url[UrlBufferSize];
  UrlNames n;
  std::wstring gridField = UrlField(grid);
  bool built = MakeUrlBuf(url, L"iedbvk2.cgi?%ls&%ls&%ls&%ls&%ls", n.database.c_str(), command, n.edbUser.c_str(),
                          n.edbName.c_str(), gridField.c_str());
  return ListCommand(name, built, url);
}

}  // namespace

int32_t SendDbReadCmd(wchar_t* url, const wchar_t* kind, int32_t flags) {
  url[0] = L'\0';
  if (!SelectionFits(DatabaseUserAndEdb)) return -1;
  UrlNames n;
  bool built = MakeUrlBuf(url, L"iedbvk2.cgi?%ls&loadxxxdb&%ls&%ls&%ls&%d", n.database.c_str(), n.edbUser.c_str(),
                          n.edbName.c_str(), kind, (flags & TransferFlagNamesOnly) ? 1 : 0);
  return SendGet(url, built);
}

int32_t SendDbWriteCmd(wchar_t* url, const wchar_t* kind, int32_t count, int32_t flags) {
  int32_t r = StartSave(url, L"savexxxdb", Conn().edbName);
  if (r != 1) return r;
  wchar_t number[16];
  swprintf(number, 16, L"%d", static_cast<int>(count));
  const wchar_t* lines[] = {kind, number, (flags & TransferFlagSave1) ? L"1" : L"0",
                            (flags & TransferFlagSave0) ? L"1" : L"0"};
  for (const wchar_t* line : lines) {
    r = WriteNarrow(line);
    if (r != 1) return r;
  }
  return 1;
}

int32_t VerifyDbWrite(const wchar_t* expected) {
  if (DebugLevel > 0) DebugPrint("  --> VerifyDbWrite(%s)\n", Narrow(expected).c_str());
  wchar_t* line = IOLLineBuffer();
  size_t length = wcslen(expected);
  for (;;) {
    int32_t r = IOLGetLine(line);
    if (r == 0) return Logged("VerifyDbWrite", 1);
    if (r < 0) return Logged("VerifyDbWrite", -1);
    if (wcsncmp(line, expected, length) != 0) {
      AppendErrorText("%s", Narrow(line).c_str());
      return Logged("VerifyDbWrite", -1);
    }
  }
}

int32_t IOLDatabasesList() {
  wchar_t url[UrlBufferSize];
  bool built = MakeUrlBuf(url, L"iedbvk2.cgi?x&listdb&x&x");
  return ListCommand("IOLDatabasesList", built, url);
}

int32_t IOLEdbUsersList() {
  if (!SelectionFits(DatabaseOnly)) return Refused("IOLEdbUsersList");
  wchar_t url[UrlBufferSize];
  UrlNames n;
  bool built = MakeUrlBuf(url, L"iedbvk2.cgi?%ls&listedbusers&x&x", n.database.c_str());
  return ListCommand("IOLEdbUsersList", built, url);
}

int32_t IOLEdbNamesList() {
  if (!SelectionFits(DatabaseAndUser)) return Refused("IOLEdbNamesList");
  wchar_t url[UrlBufferSize];
  UrlNames n;
  bool built = MakeUrlBuf(url, L"iedbvk2.cgi?%ls&listedbnames&%ls&x", n.database.c_str(), n.edbUser.c_str());
  return ListCommand("IOLEdbNamesList", built, url);
}

int32_t IOLEdbRsrcLoad() {
  if (!SelectionFits(DatabaseUserAndEdb)) return Refused("IOLEdbRsrcLoad");
  wchar_t url[UrlBufferSize];
  UrlNames n;
  bool built = MakeUrlBuf(url, L"iedbvk2.cgi?%ls&loadedbrsrc&%ls&%ls", n.database.c_str(), n.edbUser.c_str(),
                          n.edbName.c_str());
  return ListCommand("IOLEdbRsrcLoad", built, url);
}

int32_t IOLGridsGetAllNames() {
  if (!SelectionFits(DatabaseUserAndEdb)) return Refused("IOLGridsGetAllNames");
  wchar_t url[UrlBufferSize];
  UrlNames n;
  bool built = MakeUrlBuf(url, L"iedbvk2.cgi?%ls&listgrids&%ls&%ls", n.database.c_str(), n.edbUser.c_str(),
                          n.edbName.c_str());
  return ListCommand("IOLGridsGetAllNames", built, url);
}

int32_t IOLSubGetAll(int32_t list) {
  if (DebugLevel > 0) DebugPrint("  --> IOLSubGetAll(%d)\n", static_cast<int>(list));
  if (!SelectionFits(DatabaseUserAndEdb)) return Logged("IOLSubGetAll", -1);
  wchar_t url[UrlBufferSize];
  UrlNames n;
  bool built = MakeUrlBuf(url, L"iedbvk2.cgi?%ls&loadsubs&%ls&%ls&%d", n.database.c_str(), n.edbUser.c_str(),
                          n.edbName.c_str(), static_cast<int>(list));
  return Logged("IOLSubGetAll", SendGet(url, built));
}

int32_t IOLTimevarsGetAll(int32_t kind, int32_t flags) {
  return ReadCommand("IOLTimevarsGetAll", kind ? KindWord::RoadTimevar : KindWord::SourceTimevar, flags);
}
int32_t IOLSubgrpsGetAll(int32_t flags) { return ReadCommand("IOLSubgrpsGetAll", KindWord::Subgrp, flags); }
int32_t IOLEmfacsGetAll(int32_t flags) { return ReadCommand("IOLEmfacsGetAll", KindWord::Emfac, flags); }
int32_t IOLVehiclesGetAll(int32_t flags) { return ReadCommand("IOLVehiclesGetAll", KindWord::Vehicle, flags); }
int32_t IOLRoadVehicleDefsGetAll(int32_t flags) {
  return ReadCommand("IOLRoadVehicleDefsGetAll", KindWord::RoadVehicleDef, flags);
}
int32_t IOLRoadVehiclesGetAll(int32_t flags) {
  return ReadCommand("IOLRoadVehiclesGetAll", KindWord::RoadVehicle, flags);
}
int32_t IOLRoadtypesGetAll(int32_t flags) { return ReadCommand("IOLRoadtypesGetAll", KindWord::Roadtype, flags); }
int32_t IOLCompaniesGetAll() { return ReadCommand("IOLCompaniesGetAll", KindWord::Company, 0); }
int32_t IOLFacilitiesGetAll() { return ReadCommand("IOLFacilitiesGetAll", KindWord::Facility, 0); }
int32_t IOLSourcesGetAll() { return ReadCommand("IOLSourcesGetAll", KindWord::SourceRead, 0); }
int32_t IOLRoadsGetAll() { return ReadCommand("IOLRoadsGetAll", KindWord::Road, 0); }

int32_t IOLGridGetInit(const wchar_t*) { return 1; }
int32_t IOLGridCleanup(const wchar_t*) { return 1; }

int32_t IOLGridGetAsc(const wchar_t* grid) { return GridRead("IOLGridGetAsc", L"loadgridasc", grid); }
int32_t IOLGridGetData(const wchar_t* grid) { return GridRead("IOLGridGetData", L"loadgriddata", grid); }

int32_t IOLSubPut(int32_t list, int32_t flags) {
  if (DebugLevel > 0) DebugPrint("  --> IOLSubPut(%d, 0x%02x)\n", static_cast<int>(list), static_cast<unsigned>(flags));
  if (list == 0) {
    SetErrorText("Not allowed to write substances");
    return Logged("IOLSubPut", -1);
  }
  wchar_t url[UrlBufferSize];
  return Logged("IOLSubPut", SendDbWriteCmd(url, KindWord::Substance, list, flags));
}

int32_t IOLTimevarsPut(int32_t kind, int32_t flags) {
  return WriteCommand("IOLTimevarsPut", kind ? KindWord::RoadTimevar : KindWord::SourceTimevar, flags);
}
int32_t IOLSubgrpsPut(int32_t flags) { return WriteCommand("IOLSubgrpsPut", KindWord::Subgrp, flags); }
int32_t IOLEmfacsPut(int32_t flags) { return WriteCommand("IOLEmfacsPut", KindWord::Emfac, flags); }
int32_t IOLVehiclesPut(int32_t flags) { return WriteCommand("IOLVehiclesPut", KindWord::Vehicle, flags); }
int32_t IOLRoadVehiclesPut(int32_t flags) { return WriteCommand("IOLRoadVehiclesPut", KindWord::RoadVehicle, flags); }
int32_t IOLRoadtypesPut(int32_t flags) { return WriteCommand("IOLRoadtypesPut", KindWord::Roadtype, flags); }
int32_t IOLCompaniesPut(int32_t flags) { return WriteCommand("IOLCompaniesPut", KindWord::Company, flags); }
int32_t IOLFacilitiesPut(int32_t flags) { return WriteCommand("IOLFacilitiesPut", KindWord::Facility, flags); }
int32_t IOLSourcesPut(int32_t flags) { return WriteCommand("IOLSourcesPut", KindWord::SourceSave, flags); }
int32_t IOLRoadsPut(int32_t flags) { return WriteCommand("IOLRoadsPut", KindWord::Road, flags); }

int32_t IOLEdbRsrcSave() {
  if (DebugLevel > 0) DebugPrint("  --> IOLEdbRsrcSave()\n");
  wchar_t url[UrlBufferSize];
  return Logged("IOLEdbRsrcSave", StartSave(url, L"saveedbrsrc", Conn().edbName));
}

int32_t IOLEdbCreate(const wchar_t* name) {
  if (DebugLevel > 0) DebugPrint("  --> IOLEdbCreate(%s)\n", Narrow(name).c_str());
  if (!RequestNameFits("new EDB name", name, false)) return Logged("IOLEdbCreate", -1);
  if (wcslen(name) >= ConnFieldSize) {
    SetErrorText("The new EDB name is too long (%u characters; at most %u).", static_cast<unsigned>(wcslen(name)),
                 static_cast<unsigned>(ConnFieldSize - 1));
    return Logged("IOLEdbCreate", -1);
  }
  wchar_t url[UrlBufferSize];
  int32_t r = StartSave(url, L"createempty", name);
  if (r == 1) r = HTTPEndWrite();
  if (r != 1) return Logged("IOLEdbCreate", r);
  wchar_t* line = IOLLineBuffer();
  r = IOLGetLine(line);
  if (r < 0) return Logged("IOLEdbCreate", -1);
  if (r == 1 && wcsncmp(line, L"Error:", 6) == 0) {
    SetErrorText("%s\n", Narrow(line).c_str());
    HTTPAbortCommand();
    return Logged("IOLEdbCreate", -1);
  }
  HTTPAbortCommand();
  wchar_t owner[ConnFieldSize];
  Latin1ToWide(HTTPGetCurrUser(), owner, ConnFieldSize);
  IOLEdbUserSet(owner);
  IOLEdbNameSet(name);
  return Logged("IOLEdbCreate", 1);
}

int32_t IOLGridPutInit(const wchar_t* grid) {
  if (DebugLevel > 0) DebugPrint("  --> IOLGridPutInit(%s)\n", Narrow(grid).c_str());
  if (!RequestNameFits("grid name", grid, false)) return Logged("IOLGridPutInit", -1);
  wchar_t url[UrlBufferSize];
  int32_t r = StartSave(url, L"savegrid", Conn().edbName);
  if (r == 1) r = WriteNarrow(grid);
  return Logged("IOLGridPutInit", r);
}

int32_t IOLGridPutAsc(const wchar_t*) { return HTTPWriteLine("#GRIDASC"); }
int32_t IOLGridPutData(const wchar_t*) { return HTTPWriteLine("#GRIDDATA"); }

int32_t IOLGridPutDone(const wchar_t* grid) {
  if (DebugLevel > 0) DebugPrint("  --> IOLGridPutDone(%s)\n", Narrow(grid).c_str());
  int32_t r = HTTPWriteLine("#EOF");
  if (r == 1) r = HTTPEndWrite();
  if (r != 1) return Logged("IOLGridPutDone", r);
  static const wchar_t* const expected[] = {L"Examining data", L"Write index", L"Write data", L"OK!"};
  wchar_t* line = IOLLineBuffer();
  for (int i = 0; i < 4; ++i) {
    r = IOLGetLine(line);
    if (r < 0) return Logged("IOLGridPutDone", -1);
    if (r == 0) {
      SetErrorText("Unexpected end. i = %d", i);
      return Logged("IOLGridPutDone", -1);
    }
    if (wcsncmp(line, expected[i], wcslen(expected[i])) != 0) {
      SetErrorText("Error writing grid: %s (Expected %s)", Narrow(line).c_str(), Narrow(expected[i]).c_str());
      return Logged("IOLGridPutDone", -1);
    }
  }
  return Logged("IOLGridPutDone", 1);
}

int32_t IOLSendLine(const wchar_t* format, ...) {
  wchar_t* line = IOLLineBuffer();
  va_list args;
  va_start(args, format);
  int n = vswprintf(line, LineBufferSize, format, args);
  va_end(args);
  if (n >= 0) return HTTPWriteLine(Wcs2Mbs(line));

  // Longer than the line buffer: format into a buffer that fits.
  std::vector<wchar_t> big(LineBufferSize * 4);
  for (;;) {
    va_start(args, format);
    n = vswprintf(big.data(), big.size(), format, args);
    va_end(args);
    if (n >= 0) break;
    if (big.size() >= MaxSendLine) {
      SetErrorText("Line too long to send (more than %u characters).", static_cast<unsigned>(MaxSendLine));
      return -1;
    }
    big.resize(big.size() * 4);
  }
  return HTTPWriteLine(Narrow(big.data()).c_str());
}

int32_t IOLSendNarrowLine(const std::string& line) {
  if (line.size() < LineBufferSize) {
    if (DebugLevel > 2) DebugPrint("  > %s\n", line.c_str());
    return HTTPWriteLine(line.c_str());
  }
  // The limit of IOLSendLine's growing buffer.
  size_t room = LineBufferSize * 4;
  while (line.size() >= room) {
    if (room >= MaxSendLine) {
      SetErrorText("Line too long to send (more than %u characters).", static_cast<unsigned>(MaxSendLine));
      return -1;
    }
    room *= 4;
  }
  return HTTPWriteLine(line.c_str());
}

int32_t IOLPutDone() {
  if (DebugLevel > 0) DebugPrint("  --> IOLPutDone()\n");
  return Logged("IOLPutDone", HTTPEndWrite());
}
