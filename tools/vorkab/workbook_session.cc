// The workbook of a command and the scratch workbook (see workbook_session.h).
#include "workbook_session.h"

#include <unistd.h>

#include <iostream>

#include "load_base.h"
#include "sheethost/workbook.h"
#include "templates.h"
#include "vorkabcom.h"
#include "xlsx_file.h"

namespace {

const char kServer[] = "VorkabServer";
const char kDatabase[] = "VorkabDatabase";
const char kEdbUser[] = "VorkabEdbUser";
const char kEdb[] = "VorkabEdb";

std::string Get(const xlsx::Properties& p, const char* name) {
  auto found = p.find(name);
  return found == p.end() ? std::string() : found->second;
}

}  // namespace

WorkbookOrigin WorkbookOrigin::Of(const LoginOptions& login) {
  return {login.server, login.database, login.edbUser, login.edb};
}

WorkbookOrigin WorkbookOrigin::Of(const xlsx::Properties& p) {
  return {Get(p, kServer), Get(p, kDatabase), Get(p, kEdbUser), Get(p, kEdb)};
}

xlsx::Properties WorkbookOrigin::Properties() const {
  return {{kServer, server}, {kDatabase, database}, {kEdbUser, edbUser}, {kEdb, edb}};
}

std::string WorkbookOrigin::Describe() const {
  return "EDB " + edb + " of " + edbUser + " in database " + database + " on " + server;
}

bool WorkbookSession::Open(const std::string& path, bool create) {
  m_path = path;
  m_fileExists = access(path.c_str(), F_OK) == 0;
  if (m_fileExists) {
    std::string error;
    if (!LoadXlsx(path, m_host.Book(), &error)) {
      std::cerr << "vorkab: " << error << "\n";
      return false;
    }
    xlsx::Properties properties;
    if (!xlsx::ReadProperties(path, &properties, &error)) {
      std::cerr << "vorkab: " << error << "\n";
      return false;
    }
    m_origin = WorkbookOrigin::Of(properties);
    for (const sheethost::Sheet* sheet : m_host.Book().Sheets()) m_fileSheets.insert(sheet->Name());
  } else if (!create) {
    std::cerr << "vorkab: no workbook " << path << " (run vorkab load first)\n";
    return false;
  }
  for (const std::wstring& name : TemplateSheetNames()) {
    if (!m_host.Book().FindSheet(name)) ResetTemplateSheet(m_host.Book(), name);
  }
  SetExcel12EntryPt(sheethost::Host::EntryPoint());
  return true;
}

bool WorkbookSession::FileHas(const std::wstring& sheet) const {
  for (const std::wstring& name : m_fileSheets) {
    if (sheethost::SameSheetName(name, sheet)) return true;
  }
  return false;
}

bool WorkbookSession::Write(const std::vector<std::wstring>& sheets, const WorkbookOrigin& origin) {
  std::string error;
  if (xlsx::UpdateXlsx(m_path, m_host.Book(), sheets, origin.Properties(), &error, {kBaseSheet})) return true;
  std::cerr << "vorkab: " << error << "\n";
  return false;
}

ScratchWorkbook::ScratchWorkbook() { AddTemplateSheets(m_host.Book()); }

ScratchWorkbook::~ScratchWorkbook() = default;
