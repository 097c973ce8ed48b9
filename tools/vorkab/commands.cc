// The load, verify and save commands (see commands.h).  They drive the
// exports as the workbook macros do: every transfer call by call, start then
// continue while the export answers 1, over a workbook held by the
// substitute spreadsheet host and kept in an .xlsx file.
#include "commands.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <vector>

#include "kinds.h"
#include "sheethost/host.h"
#include "templates.h"
#include "vorkabcom.h"
#include "xlsx_file.h"

namespace {

using Clock = std::chrono::steady_clock;

bool FileExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

// The workbook of one command: read from its file (or made from the
// templates), answering the library's C API calls.
class WorkbookSession {
 public:
  bool Open(const std::string& path, bool create) {
    if (FileExists(path)) {
      std::string error;
      if (!LoadXlsx(path, host_.Book(), &error)) {
        std::cerr << "vorkab: " << error << "\n";
        return false;
      }
    } else if (create) {
      AddTemplateSheets(host_.Book());
    } else {
      std::cerr << "vorkab: no workbook " << path << " (run vorkab load first)\n";
      return false;
    }
    // Sheets the library expects but the file lacks come from the templates.
    for (const std::wstring& name : TemplateSheetNames()) {
      if (!host_.Book().FindSheet(name)) ResetTemplateSheet(host_.Book(), name);
    }
    SetExcel12EntryPt(sheethost::Host::EntryPoint());
    return true;
  }
  sheethost::Workbook& Book() { return host_.Book(); }
  bool Save(const std::string& path) {
    std::string error;
    if (SaveXlsx(path, host_.Book(), &error)) return true;
    std::cerr << "vorkab: " << error << "\n";
    return false;
  }

 private:
  sheethost::Host host_;
};

std::string CountText(const wchar_t* count) { return FromWide(count); }

// Runs one transfer to its end; false on failure (the library's reason on stderr).
bool RunTransfer(const TransferPart& part, bool saving) {
  auto call = saving ? part.save : part.load;
  bool terminal = isatty(STDERR_FILENO);
  Clock::time_point start = Clock::now();
  wchar_t count[16] = L"0";
  int32_t r;
  if (part.single) {
    r = call(1, count, part.arg);
    r = r == 1 ? 0 : -1;
  } else {
    r = call(1, count, part.arg);
    while (r == 1) {
      if (terminal) {
        double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        long rate = seconds > 0 ? static_cast<long>(std::stol(CountText(count)) / seconds) : 0;
        std::cerr << "\r" << (saving ? "saving " : "loading ") << part.label << ": " << CountText(count) << " ("
                  << rate << "/s)   " << std::flush;
      }
      r = call(0, count, part.arg);
    }
  }
  if (terminal && !part.single) std::cerr << "\r" << std::string(60, ' ') << "\r";
  double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (r != 0) {
    if (!part.single) call(-1, count, part.arg);  // give the transfer up
    std::string why = LibraryError();
    std::cerr << "vorkab: " << (saving ? "saving " : "loading ") << part.label << " failed"
              << (why.empty() ? "" : ": " + why) << "\n";
    return false;
  }
  char line[200];
  if (part.single) {
    snprintf(line, sizeof line, "%s %s (%.1f s)", saving ? "saved" : "loaded", part.label.c_str(), seconds);
  } else {
    snprintf(line, sizeof line, "%s %s: %s (%.1f s)", saving ? "saved" : "loaded", part.label.c_str(),
             CountText(count).c_str(), seconds);
  }
  std::cout << line << "\n";
  return true;
}

bool PickKinds(const std::vector<std::string>& words, std::vector<const RecordKind*>* kinds) {
  std::string unknown;
  if (SelectKinds(words, kinds, &unknown)) return true;
  std::cerr << "vorkab: unknown kind '" << unknown << "'; known kinds: " << KnownKindNames() << "\n";
  return false;
}

void PrintIssues(const char* heading, int32_t (*list)(int32_t, wchar_t*, int32_t), std::ostream& out) {
  std::vector<wchar_t> line(1024);
  bool any = false;
  for (int32_t first = 1; list(first, line.data(), static_cast<int32_t>(line.size())) == 1; first = 0) {
    if (!any) out << heading << ":\n";
    any = true;
    out << "  " << FromWide(line.data()) << "\n";
  }
}

// VKUpdateSub, VKVerifySub and VKMergeCheck, then the issues; ExitOk,
// ExitVerify when errors were found, ExitFailure when a step failed.
int Verify() {
  int32_t results[] = {VKUpdateSub(), VKVerifySub(), VKMergeCheck()};
  PrintIssues("Errors", VKListError, std::cout);
  PrintIssues("Warnings", VKListWarning, std::cout);
  for (int32_t r : results) {
    if (r < 0) {
      std::cerr << "vorkab: verification failed: " << LibraryError() << "\n";
      return ExitFailure;
    }
  }
  wchar_t probe[8];
  if (VKListError(1, probe, 8) == 1) return ExitVerify;
  std::cout << "verified: no errors\n";
  return ExitOk;
}

}  // namespace

int LoadCommand(const WorkbookOptions& options, const std::vector<std::string>& words) {
  std::vector<const RecordKind*> kinds;
  if (!PickKinds(words, &kinds)) return ExitUsage;
  WorkbookSession session;
  if (!session.Open(options.workbook, true)) return ExitFailure;
  if (!Login(options.login)) return ExitFailure;
  // Names of the kinds not loaded now (units, scenarios, substances) come
  // from the workbook.
  VKUpdateSub();
  LibraryError();  // a workbook without some of those names is no reason to stop
  for (const RecordKind* kind : kinds) {
    for (const std::wstring& sheet : kind->sheets) ResetTemplateSheet(session.Book(), sheet);
    for (const TransferPart& part : kind->parts) {
      if (!RunTransfer(part, false)) {
        VKFree();
        return ExitFailure;  // the workbook file stays as it was
      }
    }
  }
  VKFree();
  if (!session.Save(options.workbook)) return ExitFailure;
  std::cout << "workbook " << options.workbook << " written\n";
  return ExitOk;
}

int VerifyCommand(const WorkbookOptions& options) {
  WorkbookSession session;
  if (!session.Open(options.workbook, false)) return ExitFailure;
  if (!Login(options.login)) return ExitFailure;
  int status = Verify();
  VKFree();
  return status;
}

int SaveCommand(const WorkbookOptions& options, const std::vector<std::string>& words) {
  std::vector<const RecordKind*> kinds;
  if (!PickKinds(words, &kinds)) return ExitUsage;
  WorkbookSession session;
  if (!session.Open(options.workbook, false)) return ExitFailure;
  if (!Login(options.login)) return ExitFailure;
  if (options.verify) {
    int status = Verify();
    if (status != ExitOk) {
      if (status == ExitVerify) std::cerr << "vorkab: nothing saved: the workbook has errors\n";
      VKFree();
      return status;
    }
  } else if (VKUpdateSub() < 0) {
    // Even unverified, rows name their references: the lists must hold the workbook's names.
    std::cerr << "vorkab: reading the workbook's names failed: " << LibraryError() << "\n";
    VKFree();
    return ExitFailure;
  }
  for (const RecordKind* kind : kinds) {
    for (const TransferPart& part : kind->parts) {
      if (!part.save) {
        if (words.size() == 1 && words[0] == kind->name) std::cout << "skipped " << part.label << ": the server keeps them\n";
        continue;
      }
      if (!RunTransfer(part, true)) {
        VKFree();
        return ExitFailure;
      }
    }
  }
  VKFree();
  return ExitOk;
}
