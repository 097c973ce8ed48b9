// The workbook of one command: read from its file into the substitute
// spreadsheet host that answers the library's C API calls, knowing which
// sheets the file really holds and which EDB it was loaded from; and a
// scratch workbook into which the server's records are loaded to compare
// them with the user's.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "login.h"
#include "sheethost/host.h"
#include "xlsx_update.h"

// Where a workbook's records came from, as kept in its document properties.
struct WorkbookOrigin {
  std::string server, database, edbUser, edb;  // UTF-8

  static WorkbookOrigin Of(const LoginOptions& login);
  static WorkbookOrigin Of(const xlsx::Properties& properties);
  xlsx::Properties Properties() const;
  bool Known() const { return !edb.empty(); }
  bool operator==(const WorkbookOrigin& o) const {
    return server == o.server && database == o.database && edbUser == o.edbUser && edb == o.edb;
  }
  // "EDB Gothenburg2025 of demo in REF on http://..."
  std::string Describe() const;
};

class WorkbookSession {
 public:
  // Reads the file (a missing file is an empty workbook when create is set),
  // then adds the template sheets the file lacks, in memory only, so that
  // the library finds every sheet it reads.  False with a message on stderr.
  bool Open(const std::string& path, bool create);
  sheethost::Workbook& Book() { return m_host.Book(); }
  bool FileHas(const std::wstring& sheet) const;
  bool FileExists() const { return m_fileExists; }
  const WorkbookOrigin& Origin() const { return m_origin; }
  // Writes the named sheets and the origin into the file (xlsx_update.h);
  // the base sheet (load_base.h) is added hidden.
  bool Write(const std::vector<std::wstring>& sheets, const WorkbookOrigin& origin);

 private:
  sheethost::Host m_host;
  std::string m_path;
  std::set<std::wstring> m_fileSheets;  // as the file names them
  bool m_fileExists = false;
  WorkbookOrigin m_origin;
};

// While it lives, the library reads and writes this workbook (every template
// sheet, headings only) instead of the session's.
class ScratchWorkbook {
 public:
  ScratchWorkbook();
  ~ScratchWorkbook();
  sheethost::Workbook& Book() { return m_host.Book(); }

 private:
  sheethost::Host m_host;
};
