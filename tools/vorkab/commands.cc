// The load, verify, diff, save and info commands (see commands.h).  They
// drive the exports as the workbook macros do: every transfer call by call,
// start then continue while the export answers 1, over a workbook held by
// the substitute spreadsheet host and kept in an .xlsx file.  What the
// server holds is loaded into a scratch workbook to compare it with the
// user's before anything is sent.
#include "commands.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "grid_kinds.h"
#include "kinds.h"
#include "load_base.h"
#include "record_diff.h"
#include "templates.h"
#include "terminal.h"
#include "vorkabcom.h"
#include "watchdog.h"
#include "workbook_session.h"
#include "xlsx_cell_text.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string Why() { return ExplainTransportErrors(Latin1ForTerminal(LibraryError())); }

// A file that exists and is marked read-only (no write permission for
// anyone, which binds root too) or that this process may not write.
bool ReadOnly(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return false;
  return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || access(path.c_str(), W_OK) != 0;
}

bool Terminal() { return isatty(STDERR_FILENO); }

// A progress line on the terminal, replaced by the next one.
void Progress(const std::string& text) {
  if (Terminal()) std::cerr << "\r" << text << "\033[K" << std::flush;
}
void EndProgress() {
  if (Terminal()) std::cerr << "\r\033[K" << std::flush;
}

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

enum class Outcome { Done, Failed, Interrupted };

// Runs one transfer to its end.  A Ctrl-C between two calls gives the
// transfer up (a save then sends nothing of this part).
// The lines of the library's warning list.
std::vector<std::string> LibraryWarnings() {
  std::vector<std::string> lines;
  std::vector<wchar_t> line(1024);
  for (int32_t first = 1; VKListWarning(first, line.data(), static_cast<int32_t>(line.size())) == 1; first = 0) {
    lines.push_back(ForTerminal(line.data()));
  }
  return lines;
}

Outcome RunTransfer(const TransferPart& part, bool saving) {
  // What a Load could not hold in its sheet is named in the warning list.
  size_t warningsBefore = saving ? 0 : LibraryWarnings().size();
  auto call = saving ? part.save : part.load;
  std::string doing = std::string(saving ? "saving " : "loading ") + part.label;
  Clock::time_point start = Clock::now();
  wchar_t count[16] = L"0";
  int32_t r;
  if (part.single) {
    ServerCall guard(doing);
    r = call(1, count, part.arg) == 1 ? 0 : -1;
  } else {
    {
      ServerCall guard(doing);
      r = call(1, count, part.arg);
    }
    while (r == 1) {
      if (Interrupted()) {
        ServerCall guard(doing);
        call(-1, count, part.arg);  // give the transfer up
        EndProgress();
        return Outcome::Interrupted;
      }
      char line[160];
      snprintf(line, sizeof line, "%s ... %.0f s", doing.c_str(), Since(start));
      Progress(line);
      ServerCall guard(doing);
      r = call(0, count, part.arg);
    }
  }
  EndProgress();
  if (r != 0) {
    std::string why = Why();
    if (!part.single) call(-1, count, part.arg);
    std::cerr << "vorkab: " << doing << " failed" << (why.empty() ? "" : ": " + why) << "\n";
    return Outcome::Failed;
  }
  if (!saving) {
    std::vector<std::string> warnings = LibraryWarnings();
    // A Load that empties the list first (the resources) shows all of it.
    size_t from = warnings.size() < warningsBefore ? 0 : warningsBefore;
    for (size_t i = from; i < warnings.size(); ++i) std::cerr << "vorkab: warning: " << warnings[i] << "\n";
  }
  return Outcome::Done;
}

void Report(const char* verb, const TransferPart& part, const sheethost::Workbook& book, double seconds) {
  char line[200];
  if (part.layout.sheet.empty()) {
    snprintf(line, sizeof line, "%s %s (%.1f s)", verb, part.label.c_str(), seconds);
  } else {
    snprintf(line, sizeof line, "%s %s: %zu (%.1f s)", verb, part.label.c_str(),
             ReadRecords(book, part.layout).size(), seconds);
  }
  std::cout << line << "\n";
}

bool PickKinds(const std::vector<std::string>& words, std::vector<const RecordKind*>* kinds) {
  std::string unknown;
  if (SelectKinds(words, kinds, &unknown)) return true;
  std::cerr << "vorkab: unknown kind '" << unknown << "'; known kinds: " << KnownKindNames() << "\n";
  return false;
}

// The library's name lists from the user's workbook, as before a load (the
// loads write names from them: scenario headings, substances).
void ReadWorkbookNames() {
  ServerCall guard("reading the workbook's names");
  VKUpdateSub();
  LibraryError();  // a workbook without some of those names is no reason to stop
}

// The server's records of these kinds, loaded into the scratch workbook
// (the library's name lists are the server's afterwards: VKUpdateSub
// rebuilds them from the user's workbook).
// REQUIRES: ReadWorkbookNames ran before the scratch workbook was made.
bool LoadServer(const std::vector<const RecordKind*>& kinds, ScratchWorkbook& scratch) {
  for (const RecordKind* kind : kinds) {
    for (const TransferPart& part : kind->parts) {
      Progress("reading the server's " + part.label);
      if (RunTransfer(part, false) != Outcome::Done) return false;
    }
  }
  (void)scratch;
  return true;
}

// ------------------------------------------------------------ substances

// Substances of the workbook the server does not have at that index.
std::map<std::wstring, RW> NewSubstances(const sheethost::Workbook& book, const sheethost::Workbook& server) {
  const RecordLayout& layout = RecordKinds()[1].parts[0].layout;
  std::map<RW, std::wstring> known;
  for (const SheetRecord& r : ReadRecords(server, layout)) known[r.row] = r.name;
  std::map<std::wstring, RW> fresh;
  for (const SheetRecord& r : ReadRecords(book, layout)) {
    auto k = known.find(r.row);
    if (k == known.end() || k->second != r.name) fresh.emplace(r.name, r.row);
  }
  return fresh;
}

// An issue the tool finds itself, printed with the library's.
struct Issue {
  std::wstring sheet;
  RW row;
  COL column;
  std::string message;
  std::string Line() const {
    return ForTerminal(sheet) + " [" + xlsx::CellName(row, column) + "]: " + message;
  }
};

std::string Quoted(const std::wstring& name) { return "\"" + ForTerminal(name) + "\""; }

// New substances as warnings: the server keeps the substances.
void WarnNewSubstances(const std::map<std::wstring, RW>& fresh, std::vector<Issue>* warnings) {
  for (const auto& s : fresh) {
    warnings->push_back({L"Substance", s.second, 1,
                         "substance " + Quoted(s.first) +
                             " is not on the server: substances are kept by the server and are not saved; "
                             "the records that use it will not load back"});
  }
}

// Records of the kinds being saved that use a substance the server does not know.
void RefuseNewSubstanceUses(const sheethost::Workbook& book, const std::map<std::wstring, RW>& fresh,
                            const std::vector<const RecordKind*>& kinds, std::vector<Issue>* errors) {
  if (fresh.empty()) return;
  auto saving = [&](const char* name) {
    for (const RecordKind* k : kinds) {
      if (k->name == name) return true;
    }
    return false;
  };
  auto text = [](const sheethost::Cell& c) { return c.kind == sheethost::CellKind::Text ? c.text : L""; };
  const std::string why = " is not on the server (substances are not saved): save it on the server first";
  if (saving("emfacs")) {
    for (const SheetRecord& r : ReadRecords(book, RecordKinds()[5].parts[0].layout)) {
      std::wstring substance = text(book.GetCell(L"Emission function", r.row, 2));
      if (fresh.count(substance)) errors->push_back({L"Emission function", r.row, 2, "substance " + Quoted(substance) + why});
    }
  }
  if (const sheethost::Sheet* sheet = saving("subgrps") ? book.FindSheet(L"Emission factor") : nullptr) {
    std::set<COL> reported;
    for (const auto& e : sheet->Cells()) {
      COL c = e.first.second;
      if (e.first.first < 1 || c < 2 || (c - 2) % 3 != 0 || e.second.IsEmpty() || reported.count(c)) continue;
      std::wstring substance = text(sheet->Get(0, c));
      if (!fresh.count(substance)) continue;
      reported.insert(c);
      errors->push_back({L"Emission factor", e.first.first, c, "substance " + Quoted(substance) + why});
    }
  }
}

// ------------------------------------------------------------ verification

void PrintIssues(const char* heading, int32_t (*list)(int32_t, wchar_t*, int32_t), const std::vector<Issue>& own) {
  std::vector<wchar_t> line(1024);
  bool any = false;
  auto head = [&] {
    if (!any) std::cout << heading << ":\n";
    any = true;
  };
  for (const Issue& issue : own) {
    head();
    std::cout << "  " << issue.Line() << "\n";
  }
  for (int32_t first = 1; list(first, line.data(), static_cast<int32_t>(line.size())) == 1; first = 0) {
    head();
    std::cout << "  " << ForTerminal(line.data()) << "\n";
  }
}

// VKUpdateSub, VKVerifySub, VKMergeCheck and the company, facility and source
// verifications, then the issues with the tool's own; ExitOk, ExitVerify
// when errors were found, ExitFailure when a step failed.  The source sheet,
// whose blocks name every other kind, is checked when `saving` (null: a
// whole verification) holds the sources.
int Verify(const std::vector<Issue>& errors, const std::vector<Issue>& warnings,
           const std::vector<const RecordKind*>* saving = nullptr) {
  bool sources = !saving;
  for (size_t i = 0; saving && i < saving->size(); ++i) sources = sources || (*saving)[i]->name == "sources";
  Progress("verifying the workbook");
  int32_t results[8];
  {
    ServerCall guard("verifying");
    results[0] = VKUpdateSub();
    results[1] = VKVerifySub();
    results[2] = VKMergeCheck();
    // The company and facility sheets (a missing sheet is nothing to check).
    results[3] = VKVerifyCompany();
    results[4] = VKVerifyFacility();
    results[5] = sources ? VKVerifySource() : 1;
    // Each grid sheet with its continuation sheets.
    results[6] = 1;
    for (const std::wstring& grid : WorkbookGrids(sheethost::Host::Current()->Book())) {
      if (VKVerifyGrid(grid.c_str()) < 0) results[6] = -1;
    }
    // Every road sheet.
    results[7] = 1;
    if (sheethost::Host* host = sheethost::Host::Current()) {
      for (const RecordKind& kind : RecordKinds()) {
        if (kind.name != "roads") continue;
        for (const std::wstring& sheet : KindSheets(kind, host->Book())) {
          if (VKVerifyRoad(sheet.c_str()) < 0) results[7] = -1;
        }
      }
    }
  }
  EndProgress();
  PrintIssues("Errors", VKListError, errors);
  PrintIssues("Warnings", VKListWarning, warnings);
  for (int32_t r : results) {
    if (r < 0) {
      std::cerr << "vorkab: verification failed: " << Why() << "\n";
      return ExitFailure;
    }
  }
  wchar_t probe[8];
  if (!errors.empty() || VKListError(1, probe, 8) == 1) return ExitVerify;
  std::cout << "verified: no errors\n";
  return ExitOk;
}

// Sheets of the kinds the file lacks (a save of such a kind would send an
// empty sheet and wipe the kind on the server).
std::vector<std::pair<const RecordKind*, std::wstring>> MissingSheets(const WorkbookSession& session,
                                                                      const std::vector<const RecordKind*>& kinds) {
  std::vector<std::pair<const RecordKind*, std::wstring>> missing;
  for (const RecordKind* kind : kinds) {
    bool saved = false;
    for (const TransferPart& part : kind->parts) saved = saved || part.save;
    if (!saved) continue;
    for (const std::wstring& sheet : kind->sheets) {
      if (!session.FileHas(sheet)) missing.emplace_back(kind, sheet);
    }
  }
  return missing;
}

// True when the workbook may be used with the EDB of the options.
bool SameEdb(const WorkbookSession& session, const WorkbookOptions& options, const char* doing) {
  WorkbookOrigin here = WorkbookOrigin::Of(options.login);
  if (!session.Origin().Known()) {
    if (session.FileExists()) {
      std::cerr << "vorkab: note: " << options.workbook << " does not say which EDB it was loaded from; "
                << doing << " " << here.Describe() << "\n";
    }
    return true;
  }
  if (session.Origin() == here || options.force) return true;
  std::cerr << "vorkab: " << options.workbook << " was loaded from " << session.Origin().Describe() << ";\n"
            << "  " << doing << " " << here.Describe() << " would mix two EDBs. Nothing done.\n"
            << "  Use another --workbook, or give --force if this is really meant.\n";
  return false;
}

// ------------------------------------------------------------ diff

struct KindDiff {
  size_t added = 0, changed = 0, deleted = 0;
};

// Prints what saving the part would do; the totals add up in *total.
void PrintDiff(const RecordKind& kind, const TransferPart& part, const sheethost::Workbook& book,
               const sheethost::Workbook& server, KindDiff* total) {
  if (part.layout.sheet.empty()) {
    size_t count = 0;
    std::vector<std::wstring> sheets = KindSheets(kind, book);
    for (const std::wstring& sheet : KindSheets(kind, server)) {
      if (std::find(sheets.begin(), sheets.end(), sheet) == sheets.end()) sheets.push_back(sheet);
    }
    std::vector<std::wstring> cells = DiffSheets(server, book, sheets, 10, &count);
    std::cout << part.label << ": " << (count == 0 ? "no change" : std::to_string(count) + " cells change") << "\n";
    for (const std::wstring& cell : cells) std::cout << "  change " << ForTerminal(cell) << "\n";
    if (count > cells.size()) std::cout << "  ... and " << count - cells.size() << " more\n";
    total->changed += count > 0;
    return;
  }
  std::vector<RecordChange> changes = DiffRecords(ReadRecords(server, part.layout), ReadRecords(book, part.layout));
  KindDiff d;
  for (const RecordChange& c : changes) {
    (c.what == RecordChange::Add ? d.added : c.what == RecordChange::Change ? d.changed : d.deleted)++;
  }
  std::cout << part.label << ": " << d.added << " to add, " << d.changed << " to change, " << d.deleted
            << " to delete\n";
  for (const RecordChange& c : changes) {
    // A cell that holds no whole index (2.5, a text) reads as -1.
    std::string where = c.index < 0 ? " (no valid index)" : " (index " + std::to_string(c.index) + ")";
    if (c.what == RecordChange::Add) {
      std::cout << "  add    " << Quoted(c.name) << where << "\n";
    } else if (c.what == RecordChange::Delete) {
      std::cout << "  delete " << Quoted(c.name) << where << "\n";
    } else {
      std::cout << "  change " << Quoted(c.name) << where;
      if (c.name != c.serverName) std::cout << " renamed from " << Quoted(c.serverName);
      size_t shown = 0;
      for (const std::wstring& f : c.fields) {
        if (shown == 6) {
          std::cout << ", ...";
          break;
        }
        std::cout << (shown++ == 0 ? ": " : ", ") << ForTerminal(f);
      }
      std::cout << "\n";
    }
  }
  total->added += d.added;
  total->changed += d.changed;
  total->deleted += d.deleted;
}

bool Saved(const RecordKind& kind) {
  for (const TransferPart& part : kind.parts) {
    if (part.save) return true;
  }
  return false;
}

// Loads the server's records of each kind a save sends into a scratch
// workbook of its own, one kind at a time (so that the memory holds the
// user's workbook and one kind of the server's) and as a load does (every
// part, the ones the server keeps too); then compare runs on it.  False
// when a load failed.
template <typename Compare>
bool ReadServerKinds(const std::vector<const RecordKind*>& kinds, Compare compare) {
  for (const RecordKind* kind : kinds) {
    if (!Saved(*kind)) continue;
    ScratchWorkbook scratch;
    for (const TransferPart& part : kind->parts) {
      Progress("reading the server's " + part.label);
      if (RunTransfer(part, false) != Outcome::Done) return false;
    }
    compare(*kind, scratch.Book());
  }
  return true;
}

// Prints what a save would change; *server gets the digests of the server's
// records by kind.  False when a load failed.
bool CompareWithServer(const std::vector<const RecordKind*>& kinds, const sheethost::Workbook& book, KindDiff* total,
                       std::map<std::string, KindBase>* server = nullptr) {
  return ReadServerKinds(kinds, [&](const RecordKind& kind, const sheethost::Workbook& held) {
    for (const TransferPart& part : kind.parts) {
      if (part.save) PrintDiff(kind, part, book, held, total);
    }
    if (server) (*server)[kind.name] = DigestKind(kind, held);
  });
}

// The kinds whose records changed on the server since the workbook loaded
// them, each explained with the records that changed; a kind the workbook
// has no digests of is not checked (it says so).
std::vector<std::string> ChangedSinceLoad(const std::vector<const RecordKind*>& kinds,
                                          const std::map<std::string, KindBase>& recorded,
                                          const std::map<std::string, KindBase>& server) {
  std::vector<std::string> changed;
  for (const RecordKind* kind : kinds) {
    auto now = server.find(kind->name);
    if (now == server.end()) continue;
    auto then = recorded.find(kind->name);
    if (then == recorded.end()) {
      std::cerr << "vorkab: note: the workbook does not record what the server held when " << kind->name
                << " was loaded: changes made on the server since then cannot be detected (load " << kind->name
                << " again to record it)\n";
      continue;
    }
    std::vector<BaseChange> changes = ChangesBetween(then->second, now->second);
    if (changes.empty()) continue;
    changed.push_back(kind->name);
    std::cerr << "vorkab: " << kind->name << " changed on the server since this workbook loaded it:\n";
    for (const BaseChange& c : changes) std::cerr << "  " << c.part << ": " << DescribeChange(c) << "\n";
  }
  if (!changed.empty()) {
    std::string names;
    for (const std::string& name : changed) names += (names.empty() ? "" : " ") + name;
    std::cerr << "vorkab: nothing saved: saving would overwrite those changes. Either run vorkab load " << names
              << " again and redo your edits, or give save --force to overwrite them (vorkab diff --base " << names
              << " shows both sides).\n";
  }
  return changed;
}

// After a save: the server's records of the kinds saved become the
// workbook's base, written into its file (only the base sheet and the
// provenance change).  A failure is reported; the save stands.
void RecordSaved(const WorkbookOptions& options, const std::vector<const RecordKind*>& kinds,
                 WorkbookSession& session) {
  WorkbookOrigin here = WorkbookOrigin::Of(options.login);
  if (session.Origin().Known() && !(session.Origin() == here)) return;  // the base belongs to the other EDB
  if (ReadOnly(options.workbook)) {
    std::cerr << "vorkab: warning: " << options.workbook << " is read-only: it cannot record this save, so its "
              << "next save of these kinds will be refused (vorkab load them again)\n";
    return;
  }
  ReadWorkbookNames();  // the names a load reads the records with
  std::map<std::string, KindBase> server;
  bool read = ReadServerKinds(kinds, [&](const RecordKind& kind, const sheethost::Workbook& held) {
    server[kind.name] = DigestKind(kind, held);
  });
  EndProgress();
  if (read) {
    WriteBase(session.Book(), server);
    if (session.Write({kBaseSheet}, here)) return;
  }
  std::cerr << "vorkab: warning: the save is done, but " << options.workbook
            << " could not record it: its next save of these kinds will be refused (vorkab load them again)\n";
}

// The status of a command given up after Ctrl-C.
constexpr int ExitInterrupted = 130;
int Failed(const char* nothing) {
  if (!Interrupted()) return ExitFailure;
  std::cerr << "vorkab: interrupted: " << nothing << "\n";
  return ExitInterrupted;
}

// Asks on the terminal; false without one.
bool Confirm(const std::string& question) {
  if (!isatty(STDIN_FILENO)) return false;
  std::cerr << question << " [y/N] " << std::flush;
  std::string answer;
  std::getline(std::cin, answer);
  return answer == "y" || answer == "Y" || answer == "yes";
}

std::string Join(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& w : words) text += (text.empty() ? "" : ", ") + w;
  return text.empty() ? "none" : text;
}

}  // namespace

int LoadCommand(const WorkbookOptions& options, const std::vector<std::string>& words) {
  std::vector<const RecordKind*> kinds;
  if (!PickKinds(words, &kinds)) return ExitUsage;
  const std::string& path = options.workbook;
  if (ReadOnly(path)) {
    std::cerr << "vorkab: " << path << " is read-only: nothing loaded (the file stays as it is)\n";
    return ExitFailure;
  }
  Progress("reading " + path);
  WorkbookSession session;
  if (!session.Open(path, true)) return ExitFailure;
  EndProgress();
  if (!SameEdb(session, options, "loading from")) return ExitFailure;
  if (!Login(options.login)) return ExitFailure;
  // Names of the kinds not loaded now (units, scenarios, substances) come
  // from the workbook.
  VKUpdateSub();
  LibraryError();  // a workbook without some of those names is no reason to stop
  std::vector<std::wstring> sheets;
  std::map<std::string, KindBase> loaded;  // what the server held, for the next save
  for (const RecordKind* kind : kinds) {
    // Sheets a former Load filled are emptied: none of their rows stay.
    for (const std::wstring& sheet : KindSheets(*kind, session.Book())) ResetTemplateSheet(session.Book(), sheet);
    for (const TransferPart& part : kind->parts) {
      Clock::time_point start = Clock::now();
      Outcome outcome = RunTransfer(part, false);
      if (outcome != Outcome::Done) {
        VKFree();
        return Failed("nothing loaded");  // the workbook file stays as it was
      }
      Report("loaded", part, session.Book(), Since(start));
    }
    for (const std::wstring& sheet : KindSheets(*kind, session.Book())) sheets.push_back(sheet);
    if (Saved(*kind)) loaded[kind->name] = DigestKind(*kind, session.Book());
  }
  for (const std::wstring& sheet : GridSheetsWritten()) sheets.push_back(sheet);
  VKFree();
  WriteBase(session.Book(), loaded);
  sheets.push_back(kBaseSheet);
  Progress("writing " + path);
  bool written = session.Write(sheets, WorkbookOrigin::Of(options.login));
  EndProgress();
  if (!written) return ExitFailure;
  std::cout << "workbook " << path << " written\n";
  return ExitOk;
}

int VerifyCommand(const WorkbookOptions& options) {
  WorkbookSession session;
  Progress("reading " + options.workbook);
  if (!session.Open(options.workbook, false)) return ExitFailure;
  EndProgress();
  if (!Login(options.login)) return ExitFailure;
  std::vector<Issue> errors, warnings;
  for (const auto& m : MissingSheets(session, [] {
         std::vector<const RecordKind*> all;
         for (const RecordKind& k : RecordKinds()) all.push_back(&k);
         return all;
       }())) {
    warnings.push_back({m.second, 0, 0, "the sheet is missing: " + m.first->name + " cannot be saved (vorkab load " +
                                            m.first->name + " recreates it)"});
  }
  ReadWorkbookNames();
  {
    ScratchWorkbook scratch;
    if (!LoadServer({&RecordKinds()[1]}, scratch)) {
      VKFree();
      return Failed("nothing verified");
    }
    WarnNewSubstances(NewSubstances(session.Book(), scratch.Book()), &warnings);
  }
  int status = Verify(errors, warnings);
  VKFree();
  return status;
}

int DiffCommand(const WorkbookOptions& options, const std::vector<std::string>& words) {
  std::vector<const RecordKind*> kinds;
  if (!PickKinds(words, &kinds)) return ExitUsage;
  WorkbookSession session;
  if (!session.Open(options.workbook, false)) return ExitFailure;
  if (!SameEdb(session, options, "comparing with")) return ExitFailure;
  if (!Login(options.login)) return ExitFailure;
  ReadWorkbookNames();
  bool compared;
  if (options.base) {
    std::map<std::string, KindBase> recorded = ReadBase(session.Book());
    for (const RecordKind* kind : kinds) {
      if (Saved(*kind) && !recorded.count(kind->name)) {
        std::cerr << "vorkab: the workbook does not record what the server held when " << kind->name
                  << " was loaded (vorkab load " << kind->name << " records it)\n";
        VKFree();
        return ExitFailure;
      }
    }
    size_t both = 0;
    compared = ReadServerKinds(kinds, [&](const RecordKind& kind, const sheethost::Workbook& held) {
      PrintThreeWay(kind, recorded[kind.name], DigestKind(kind, session.Book()), DigestKind(kind, held), &both);
    });
  } else {
    KindDiff total;
    compared = CompareWithServer(kinds, session.Book(), &total);
  }
  VKFree();
  return compared ? ExitOk : Failed("nothing compared");
}

int SaveCommand(const WorkbookOptions& options, const std::vector<std::string>& words) {
  std::vector<const RecordKind*> kinds;
  if (!PickKinds(words, &kinds)) return ExitUsage;
  WorkbookSession session;
  Progress("reading " + options.workbook);
  if (!session.Open(options.workbook, false)) return ExitFailure;
  EndProgress();
  if (!SameEdb(session, options, "saving into")) return ExitFailure;
  auto missing = MissingSheets(session, kinds);
  if (!missing.empty()) {
    for (const auto& m : missing) {
      std::cerr << "vorkab: sheet " << Quoted(m.second) << " is missing from " << options.workbook << ": saving "
                << m.first->name << " would empty that kind on the server (vorkab load " << m.first->name
                << " recreates the sheet)\n";
    }
    std::cerr << "vorkab: nothing saved\n";
    return ExitFailure;
  }
  if (!Login(options.login)) return ExitFailure;

  // What the server holds now: for the substance check and the changes.
  std::vector<Issue> errors, warnings;
  KindDiff total;
  ReadWorkbookNames();
  {
    // The changes are shown for a dry run, and when the save would delete
    // records.  The server's records are read with the workbook's names, as
    // a load reads them.
    std::streambuf* out = nullptr;
    std::ostringstream quiet;
    if (!options.dryRun) out = std::cout.rdbuf(quiet.rdbuf());
    std::map<std::string, KindBase> server;
    bool compared = CompareWithServer(kinds, session.Book(), &total, &server);
    if (out) std::cout.rdbuf(out);
    if (!compared) {
      VKFree();
      return Failed("nothing saved");
    }
    if (!options.dryRun && total.deleted > 0) std::cout << quiet.str();
    // Records someone else saved since the load would be overwritten unseen.
    if (!options.force && !ChangedSinceLoad(kinds, ReadBase(session.Book()), server).empty()) {
      VKFree();
      return ExitFailure;
    }
  }
  ReadWorkbookNames();
  {
    ScratchWorkbook substances;
    if (!LoadServer({&RecordKinds()[1]}, substances)) {
      VKFree();
      return Failed("nothing saved");
    }
    std::map<std::wstring, RW> fresh = NewSubstances(session.Book(), substances.Book());
    WarnNewSubstances(fresh, &warnings);
    RefuseNewSubstanceUses(session.Book(), fresh, kinds, &errors);
  }
  int status = ExitOk;
  if (options.verify || options.dryRun) {
    status = Verify(errors, warnings, &kinds);
  } else {
    ServerCall guard("reading the workbook's names");
    // Even unverified, rows name their references: the lists must hold the workbook's names.
    if (VKUpdateSub() < 0) {
      std::cerr << "vorkab: reading the workbook's names failed: " << Why() << "\n";
      status = ExitFailure;
    }
    if (status == ExitOk && !errors.empty()) {
      PrintIssues("Errors", [](int32_t, wchar_t*, int32_t) { return 0; }, errors);
      status = ExitVerify;
    }
  }
  if (status != ExitOk || options.dryRun) {
    if (status == ExitVerify) std::cerr << "vorkab: nothing saved: the workbook has errors\n";
    if (options.dryRun && status == ExitOk) std::cout << "dry run: nothing sent\n";
    VKFree();
    return status;
  }
  if (total.deleted > 0 && !options.yes) {
    std::string question = "This save deletes " + std::to_string(total.deleted) + " records on the server (listed above).";
    if (!Confirm(question + " Go on?")) {
      std::cerr << "vorkab: nothing saved: " << question << " Give --yes to confirm.\n";
      VKFree();
      return ExitUsage;
    }
  }

  std::vector<std::string> saved, notSaved;
  std::set<const RecordKind*> partial;  // kinds not saved whole
  bool failed = false, interrupted = false;
  for (const RecordKind* kind : kinds) {
    for (const TransferPart& part : kind->parts) {
      if (!part.save) {
        if (words.size() == 1 && words[0] == kind->name) std::cout << "skipped " << part.label << ": the server keeps them\n";
        continue;
      }
      if (failed || interrupted || Interrupted()) {
        partial.insert(kind);
        interrupted = interrupted || Interrupted();
        notSaved.push_back(part.label);
        continue;
      }
      Clock::time_point start = Clock::now();
      Outcome outcome = RunTransfer(part, true);
      if (outcome == Outcome::Done) {
        Report("saved", part, session.Book(), Since(start));
        saved.push_back(part.label);
      } else {
        partial.insert(kind);
        notSaved.push_back(part.label + (outcome == Outcome::Interrupted ? " (aborted, nothing of it sent)" : " (failed)"));
        failed = failed || outcome == Outcome::Failed;
        interrupted = interrupted || outcome == Outcome::Interrupted;
      }
    }
  }
  // What the server holds now of the kinds saved whole is the workbook's new
  // base: read back, so that the next save compares with what the server
  // really stores.  A kind saved in part keeps its old base (its next save
  // is refused until it is loaded again).
  std::vector<const RecordKind*> whole;
  for (const RecordKind* kind : kinds) {
    if (Saved(*kind) && !partial.count(kind)) whole.push_back(kind);
  }
  if (!whole.empty() && !Interrupted()) RecordSaved(options, whole, session);
  VKFree();
  std::cout << "saved: " << Join(saved);
  if (!notSaved.empty()) std::cout << "; not saved: " << Join(notSaved);
  std::cout << "\n";
  if (interrupted) return ExitInterrupted;
  return failed ? ExitFailure : ExitOk;
}

int InfoCommand(const WorkbookOptions& options) {
  WorkbookSession session;
  bool haveBook = access(options.workbook.c_str(), F_OK) == 0;
  if (!session.Open(options.workbook, !haveBook)) return ExitFailure;
  if (!Login(options.login)) return ExitFailure;
  ReadWorkbookNames();
  // The server's count of each part, read into a scratch workbook one part at a time.
  std::vector<std::pair<const TransferPart*, size_t>> counts;
  for (const RecordKind& kind : RecordKinds()) {
    for (const TransferPart& part : kind.parts) {
      if (part.layout.sheet.empty()) continue;
      ScratchWorkbook scratch;
      Progress("reading the server's " + part.label);
      if (RunTransfer(part, false) != Outcome::Done) {
        VKFree();
        return Failed("stopped");
      }
      counts.emplace_back(&part, ReadRecords(scratch.Book(), part.layout).size());
    }
  }
  VKFree();
  std::cout << "server:   " << WorkbookOrigin::Of(options.login).Describe() << "\n";
  std::cout << "workbook: " << options.workbook;
  if (!haveBook) {
    std::cout << " (no such file)";
  } else if (session.Origin().Known()) {
    std::cout << ", loaded from " << session.Origin().Describe();
  }
  std::cout << "\n";
  char line[160];
  snprintf(line, sizeof line, "%-26s %10s %10s", "", "server", "workbook");
  std::cout << line << "\n";
  for (const auto& count : counts) {
    const RecordLayout& layout = count.first->layout;
    std::string book = !haveBook                     ? "-"
                       : !session.FileHas(layout.sheet) ? "no sheet"
                                                        : std::to_string(ReadRecords(session.Book(), layout).size());
    snprintf(line, sizeof line, "%-26s %10zu %10s", count.first->label.c_str(), count.second, book.c_str());
    std::cout << line << "\n";
  }
  return ExitOk;
}
