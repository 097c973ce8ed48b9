// The transfer tests' shared fixture (see transfer_fixture.h).
#include "e2e/transfer_fixture.h"

#include <ostream>

#include "host/frame.h"
#include "transport/latin1.h"

namespace e2e {

const wchar_t* const kTransferSheets[9] = {L"Substance",        L"Searchkey",       L"Source timevar",
                                           L"Road timevar",     L"Emission factor", L"Emission function",
                                           L"Speed-Temp-Scen", L"Units",           L"Rsrc"};

std::ostream& operator<<(std::ostream& out, const Step& step) {
  return out << step.result << "/" << Narrow(step.count.c_str());
}

Transfer SubLoad(int32_t list) {
  return [list](int32_t m, wchar_t* c) { return VKSubLoad(m, list, c); };
}
Transfer SubSave(int32_t list) {
  return [list](int32_t m, wchar_t* c) { return VKSubSave(m, list, c); };
}
Transfer TimevarsLoad(int32_t kind) {
  return [kind](int32_t m, wchar_t* c) { return VKTimevarsLoad(kind, m, c); };
}
Transfer TimevarsSave(int32_t kind) {
  return [kind](int32_t m, wchar_t* c) { return VKTimevarsSave(kind, m, c); };
}

Steps Calls(const Transfer& call, int32_t startMode, int limit) {
  Steps steps;
  int32_t mode = startMode;
  for (int i = 0; i < limit; ++i) {
    wchar_t count[16] = L"?";
    int32_t r = call(mode, count);
    steps.push_back(Step{r, count});
    if (r != 1) break;
    mode = 0;
  }
  return steps;
}

std::string TakeError() {
  char buffer[ErrorTextSize];
  VKError(buffer, sizeof buffer);
  return buffer;
}

void ExpectHas(const std::string& text, const std::vector<std::string>& parts) {
  for (const std::string& part : parts) EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
}

std::string ListedErrors() {
  std::string text;
  wchar_t line[1024];
  for (int32_t first = 1; VKListError(first, line, 1024) == 1; first = 0) text += Narrow(line) + "\n";
  return text;
}

Workbook::Workbook() : m_host(new sheethost::Host()) {
  for (const wchar_t* name : kTransferSheets) EXPECT_NE(m_host->Book().AddSheet(name), nullptr);
  SetExcel12EntryPt(sheethost::Host::EntryPoint());
}

Workbook::~Workbook() {
  EXPECT_EQ(m_host->Outstanding(), 0u) << "host values left unfreed";
  EXPECT_EQ(m_host->BadFrees(), 0u) << "values freed that the host did not hand out";
  SetExcel12EntryPt(nullptr);
}

std::wstring Workbook::Text(const wchar_t* sheet, int row, int column) {
  sheethost::Cell cell = Book().GetCell(sheet, row, column);
  return cell.kind == sheethost::CellKind::Text ? cell.text : std::wstring();
}

bool Workbook::Set(const wchar_t* sheet, int row, int column, const std::wstring& text) {
  return Book().SetCell(sheet, row, column, text.empty() ? sheethost::Cell() : sheethost::Cell::Str(text));
}

void Workbook::SetAll(const std::vector<Edit>& edits) {
  for (const Edit& e : edits) EXPECT_TRUE(Set(e.sheet, e.row, e.column, e.text)) << Narrow(e.sheet);
}

void Workbook::ExpectAll(const std::vector<Edit>& edits) {
  for (const Edit& e : edits) EXPECT_EQ(Text(e.sheet, e.row, e.column), e.text) << Narrow(e.sheet) << " " << e.row;
}

void TransferTest::SetUp() {
  server_.reset(new EdbServerProcess());
  ASSERT_TRUE(server_->ok());
  Login();
}

void TransferTest::TearDown() { server_.reset(); }

void TransferTest::Login() {
  wchar_t user[] = L"demo";
  std::wstring address = L"Kalvoro:" + Widen(server_->url().c_str());
  int32_t r = VKInit(user, L"demo", L"", address.c_str(), L"", L"", 0);
  ASSERT_TRUE(r == 0 || r == 1) << TakeError();
  VKDatabaseSet(L"REF");
  VKEdbUserSet(L"demo");
  VKEdbNameSet(L"Gothenburg2025");
  ClearErrorText();
}

namespace {

// The last call of a transfer run to its end.
int32_t Last(const Steps& steps) { return steps.empty() ? 1 : steps.back().result; }

}  // namespace

void TransferTest::LoadAll() {
  ASSERT_EQ(VKEdbRsrcLoad(), 1) << TakeError();
  for (int32_t list = 0; list <= 5; ++list) ASSERT_EQ(Last(Calls(SubLoad(list))), 0) << list << ": " << TakeError();
  for (int32_t kind = 0; kind <= 1; ++kind) {
    ASSERT_EQ(Last(Calls(TimevarsLoad(kind))), 0) << "time variations " << kind << ": " << TakeError();
  }
  ASSERT_EQ(Last(Calls(VKSubgrpsLoad)), 0) << TakeError();
  ASSERT_EQ(Last(Calls(VKEmfacsLoad)), 0) << TakeError();
}

void TransferTest::SaveAll() {
  ASSERT_EQ(VKEdbRsrcSave(), 1) << TakeError();
  for (int32_t list = 1; list <= 5; ++list) ASSERT_EQ(Last(Calls(SubSave(list))), 0) << list << ": " << TakeError();
  for (int32_t kind = 0; kind <= 1; ++kind) {
    ASSERT_EQ(Last(Calls(TimevarsSave(kind))), 0) << "time variations " << kind << ": " << TakeError();
  }
  ASSERT_EQ(Last(Calls(VKSubgrpsSave)), 0) << TakeError();
  ASSERT_EQ(Last(Calls(VKEmfacsSave)), 0) << TakeError();
}

void TransferTest::ExpectStoredAsBefore(const std::string& before) {
  std::string after = server_->dumpRecords();
  EXPECT_EQ(GothenburgRecords(before), GothenburgRecords(after));
  EXPECT_TRUE(before == after) << "another EDB changed";
}

std::vector<std::wstring> Names(const std::function<int32_t(int32_t, wchar_t*)>& list) {
  std::vector<std::wstring> names;
  wchar_t name[256];
  for (int32_t first = 1; list(first, name) == 1; first = 0) names.push_back(name);
  return names;
}

std::vector<std::wstring> SubNames(int32_t list) {
  return Names([list](int32_t first, wchar_t* name) { return VKSubList(first, list, name); });
}

std::vector<std::wstring> TimevarNames(int32_t kind) {
  std::vector<std::wstring> names;
  wchar_t name[20];
  for (int32_t first = 1; VKTimevarsList(kind, first, name) == 1; first = 0) names.push_back(name);
  return names;
}

std::string EdbPart(const std::string& dump, const std::string& edb) {
  std::string head = "== EDB " + edb + "\n";
  size_t start = dump.find(head);
  if (start == std::string::npos) return std::string();
  size_t end = dump.find("\n== EDB ", start + head.size());
  return dump.substr(start, end == std::string::npos ? std::string::npos : end + 1 - start);
}

}  // namespace e2e
