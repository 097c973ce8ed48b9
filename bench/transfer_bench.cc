// The transfer benchmark: Loads and Saves of many substances, time
// variations, vehicles, road vehicles and roadtypes through the whole stack (the substitute server on loopback,
// HTTP, the record layer, the substitute spreadsheet host), each next to the
// time curl needs to fetch the same reply (or post the same body) from the
// same server in the same run, with their ratio; and the peak memory of each
// Load next to what the workbook itself holds.
//
// The URL and body curl uses are the library's own: an untimed run of the
// same transfer with the diagnostic log on yields the request URL (and, for a
// Save, every body line sent); the timed run has the log off.
//
// Usage: transfer_bench [PATH_TO_EDB_SERVER]
// (VORKAB_BENCH_SIZE=n: only n records of each kind, e.g. under a profiler;
// VORKAB_BENCH_KINDS=timevars,vehicles: only the rows of those kinds)
#include <fcntl.h>
#include <malloc.h>
#include <poll.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "sheethost/host.h"
#include "transport/connection.h"
#include "transport/latin1.h"
#include "vorkabcom.h"

#ifndef EDB_SERVER_PATH
#define EDB_SERVER_PATH "edb-server"
#endif

namespace {

// The library's limits: indexes of substances and time variations are
// 16-bit, and a searchkey list holds at most 127 rows.
constexpr int kMaxIndex = 65535;
constexpr int kMaxSearchkeys = 127;
constexpr const char* kPathPrefix = "/cgi-bin/ikalvoro/";
constexpr int kEdbId = 2;  // Gothenburg2025 in the demonstration data

// Road-vehicle indexes are 32-bit: 100,000 of them.
constexpr int kRoadVehicles = 100000;

const wchar_t* const kSheets[] = {L"Substance",        L"Searchkey",       L"Source timevar",
                                  L"Road timevar",     L"Emission factor", L"Emission function",
                                  L"Speed-Temp-Scen", L"Units",           L"Rsrc",
                                  L"Vehicle",          L"Road Vehicle Def.", L"Road Vehicle",
                                  L"Roadtype",         L"Company",         L"Facility",
                                  L"Source"};

[[noreturn]] void Fail(const std::string& what) {
  char error[10240];
  VKError(error, sizeof error);
  std::fprintf(stderr, "transfer_bench: %s%s%s\n", what.c_str(), error[0] ? ": " : "", error);
  std::exit(1);
}

double Now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// ------------------------------------------------------------------ server

class Server {
 public:
  explicit Server(const std::string& program) {
    char folder[] = "/tmp/transfer_bench.XXXXXX";
    if (!mkdtemp(folder)) Fail("cannot create a data folder");
    dir_ = folder;
    int out[2];
    if (pipe(out) != 0) Fail("pipe");
    pid_ = fork();
    if (pid_ < 0) Fail("fork");
    if (pid_ == 0) {
      dup2(out[1], 1);
      int quiet = open("/dev/null", O_WRONLY);
      dup2(quiet, 2);
      close(out[0]);
      execl(program.c_str(), program.c_str(), "--data", dir_.c_str(), "--port", "0", "--seed", "demo",
            "--quiet", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(out[1]);
    std::string line;
    double deadline = Now() + 20;
    while (line.find('\n') == std::string::npos && Now() < deadline) {
      pollfd p = {out[0], POLLIN, 0};
      if (poll(&p, 1, 200) <= 0) continue;
      char buffer[256];
      ssize_t n = read(out[0], buffer, sizeof buffer);
      if (n <= 0) break;
      line.append(buffer, static_cast<size_t>(n));
    }
    close(out[0]);
    const std::string prefix = "listening on ";
    if (line.compare(0, prefix.size(), prefix) != 0) Fail("the server did not start: " + line);
    url_ = line.substr(prefix.size(), line.find('\n') - prefix.size());
  }

  ~Server() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      int status;
      for (int i = 0; i < 50 && waitpid(pid_, &status, WNOHANG) == 0; ++i) usleep(100000);
      if (waitpid(pid_, &status, WNOHANG) == 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
      }
    }
    std::string command = "rm -rf '" + dir_ + "'";
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "could not remove %s\n", dir_.c_str());
  }

  const std::string& url() const { return url_; }
  const std::string& dir() const { return dir_; }
  std::string database() const { return dir_ + "/edb.sqlite"; }

 private:
  pid_t pid_ = -1;
  std::string dir_;
  std::string url_;
};

// Replaces the EDB's records of a kind (list 0) with generated ones; the
// body of record i comes from make(i).
void SeedRecords(const Server& server, const char* kind, int count, const std::function<std::string(int)>& make) {
  sqlite3* db = nullptr;
  if (sqlite3_open(server.database().c_str(), &db) != SQLITE_OK) Fail("cannot open the server's database");
  sqlite3_busy_timeout(db, 10000);
  auto exec = [db](const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
      std::string text = message ? message : "?";
      sqlite3_free(message);
      Fail("seeding: " + text);
    }
  };
  exec("BEGIN");
  exec("DELETE FROM records WHERE edb_id=" + std::to_string(kEdbId) + " AND kind='" + kind + "' AND list=0");
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO records(edb_id, kind, list, seq, body) VALUES(?, ?, 0, ?, ?)", -1, &insert,
                     nullptr);
  for (int i = 1; i <= count; ++i) {
    std::string body = make(i);
    sqlite3_bind_int(insert, 1, kEdbId);
    sqlite3_bind_text(insert, 2, kind, -1, SQLITE_STATIC);
    sqlite3_bind_int(insert, 3, i - 1);
    sqlite3_bind_blob(insert, 4, body.data(), static_cast<int>(body.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(insert) != SQLITE_DONE) Fail("seeding: insert failed");
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  exec("COMMIT");
  sqlite3_close(db);
}

// Replaces the EDB's grid `name` with one of nx * ny cells of one substance
// value each, stored as the server keeps grids: the header, then the data
// lines in chunks of 4096.
void SeedGrid(const Server& server, const std::string& name, int nx, int ny) {
  sqlite3* db = nullptr;
  if (sqlite3_open(server.database().c_str(), &db) != SQLITE_OK) Fail("cannot open the server's database");
  sqlite3_busy_timeout(db, 10000);
  std::string kind = "grid " + name;
  std::string header = "X 300000\nY 6300000\nNX " + std::to_string(nx) + "\nNY " + std::to_string(ny) +
                       "\nDX 50\nDY 50\nNAME \"" + name + "\"\nINFO \"\"\nINFO2 \"\"\nADDRESS \"\"\n"
                       "POSTADDRESS \"\"\nINFOGIVER \"\"\nDATE 250101\nCHANGED 250101\nMISC \"\"\nFUEL 0\n"
                       "FORMULA 1\nSEARCHKEY1 0\nSEARCHKEY2 0\nSEARCHKEY3 0\nSEARCHKEY4 0\nSEARCHKEY5 0\n"
                       "ACTIVITYCODE\nGEOCODE\nSUBSTANCE 1\n";
  std::vector<std::string> chunks(1, std::string());
  for (int j = 0, n = 0; j < ny; ++j) {
    for (int i = 0; i < nx; ++i, ++n) {
      if (n > 0 && n % 4096 == 0) chunks.emplace_back();
      char line[96];
      std::snprintf(line, sizeof line, "%d@%d@%g\n", 300000 + 50 * i, 6300000 + 50 * j, (n % 977) / 8.0);
      chunks.back() += line;
    }
  }
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* remove = nullptr;
  sqlite3_prepare_v2(db, "DELETE FROM records WHERE edb_id = ? AND kind = ?", -1, &remove, nullptr);
  sqlite3_bind_int(remove, 1, kEdbId);
  sqlite3_bind_text(remove, 2, kind.c_str(), -1, SQLITE_TRANSIENT);
  if (sqlite3_step(remove) != SQLITE_DONE) Fail("seeding the grid: delete failed");
  sqlite3_finalize(remove);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO records(edb_id, kind, list, seq, body) VALUES(?, ?, ?, ?, ?)", -1, &insert,
                     nullptr);
  auto put = [&](int list, int seq, const std::string& body) {
    sqlite3_bind_int(insert, 1, kEdbId);
    sqlite3_bind_text(insert, 2, kind.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(insert, 3, list);
    sqlite3_bind_int(insert, 4, seq);
    sqlite3_bind_blob(insert, 5, body.data(), static_cast<int>(body.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(insert) != SQLITE_DONE) Fail("seeding the grid: insert failed");
    sqlite3_reset(insert);
  };
  put(0, 0, header);
  for (size_t k = 0; k < chunks.size(); ++k) put(1, static_cast<int>(k), chunks[k]);
  sqlite3_finalize(insert);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

// A grid Load as the macro runs it: the grid sheet added first, and each
// continuation sheet the Load asks for.
int32_t GridLoadCall(const wchar_t* sheet, int32_t mode, wchar_t* count) {
  sheethost::Workbook& book = sheethost::Host::Current()->Book();
  if (mode == 1 && !book.FindSheet(sheet)) book.AddSheet(sheet);
  int32_t r = VKGridLoad(mode, sheet, count);
  if (r < 2) return r;
  std::wstring next = std::wstring(sheet) + L" (" + std::to_wstring(r) + L")";
  if (!book.FindSheet(next)) book.AddSheet(next);
  return 1;
}

// The shortest seeded record of a kind's stored bodies, as the template for
// more.
std::string RecordTemplate(const Server& server, const std::string& kind) {
  sqlite3* db = nullptr;
  sqlite3_open(server.database().c_str(), &db);
  sqlite3_stmt* select = nullptr;
  std::string sql = "SELECT body FROM records WHERE kind='" + kind + "' ORDER BY length(body), edb_id, seq LIMIT 1";
  sqlite3_prepare_v2(db, sql.c_str(), -1, &select, nullptr);
  std::string body;
  if (sqlite3_step(select) == SQLITE_ROW) {
    body.assign(static_cast<const char*>(sqlite3_column_blob(select, 0)),
                static_cast<size_t>(sqlite3_column_bytes(select, 0)));
  }
  sqlite3_finalize(select);
  sqlite3_close(db);
  if (body.compare(0, 5, "NAME ") != 0) Fail("no seeded " + kind + " record to copy");
  return body;
}

// The template with its NAME and INDEX lines replaced (names: prefix and the
// index in six digits).
std::string RecordBody(const std::string& model, int index, const char* prefix = "TV") {
  std::istringstream in(model);
  std::string line, out;
  char name[32];
  std::snprintf(name, sizeof name, "NAME \"%s%06d\"", prefix, index);
  while (std::getline(in, line)) {
    if (line.compare(0, 5, "NAME ") == 0) line = name;
    else if (line.compare(0, 6, "INDEX ") == 0) line = "INDEX " + std::to_string(index);
    out += line + "\n";
  }
  return out;
}

// The processor time this process has used (on a shared machine the wall
// time also counts the waits for a core).
double CpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// ------------------------------------------------------------------ memory

// The peak resident size (VmHWM) starts again from the current size.
void ResetPeak() {
  malloc_trim(0);
  std::ofstream("/proc/self/clear_refs") << "5";
}

// A field of /proc/self/status in bytes.
long StatusBytes(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  size_t n = std::strlen(field);
  while (std::getline(in, line)) {
    if (line.compare(0, n, field) == 0 && line.size() > n && line[n] == ':') return std::atol(line.c_str() + n + 1) * 1024;
  }
  return -1;
}

// ------------------------------------------------------------------ library

// A workbook of its own behind the library's entry point, with the reference
// and resource sheets and the call record off.
struct Book {
  Book() {
    host.RecordCalls(false);
    for (const wchar_t* name : kSheets) host.Book().AddSheet(name);
    SetExcel12EntryPt(sheethost::Host::EntryPoint());
  }
  // The entry point stays: the host answering it is the latest one alive.

  size_t Cells() {
    size_t n = 0;
    for (sheethost::Sheet* sheet : host.Book().Sheets()) n += sheet->CellCount();
    return n;
  }
  // What the cells take in the host's store.
  size_t Bytes() {
    size_t bytes = 0;
    for (sheethost::Sheet* sheet : host.Book().Sheets()) bytes += sheet->MemoryBytes();
    return bytes;
  }

  sheethost::Host host;
};

// Logs in (again) with the diagnostic level; the log opens at the first
// level above 0 and stays open.
void Login(const Server& server, int level, const std::string& logPath) {
  std::wstring user = L"demo," + std::to_wstring(level) + L"," + std::wstring(logPath.begin(), logPath.end());
  std::vector<wchar_t> userText(user.begin(), user.end());
  userText.push_back(0);
  std::wstring address = L"Kalvoro:" + std::wstring(server.url().begin(), server.url().end());
  int32_t r = VKInit(userText.data(), L"demo", L"", address.c_str(), L"", L"", 0);
  if (r != 0 && r != 1) Fail("login");
  VKDatabaseSet(L"REF");
  VKEdbUserSet(L"demo");
  VKEdbNameSet(L"Gothenburg2025");
}

// Runs an incremental transfer to its end; the number of records it reports.
long Run(const std::function<int32_t(int32_t, wchar_t*)>& call, const std::string& what) {
  wchar_t count[16] = L"0";
  int32_t r = call(1, count);
  while (r == 1) r = call(0, count);
  if (r != 0) Fail(what);
  return std::wcstol(count, nullptr, 10);
}

// What one request of the library looked like in the diagnostic log.
struct Request {
  std::string url;   // full URL
  std::string body;  // POST body (empty for a GET)
  long replyLength = -1;
  long sentLength = -1;  // the POST body's length as the library sent it
};

// The first GET or POST logged at or after the offset, with its body lines
// (with last set: the last one, as for a grid Load, whose first GET fetches
// only the header).
Request FindRequest(const std::string& logPath, long offset, const Server& server, bool post, bool last = false) {
  std::ifstream in(logPath, std::ios::binary);
  in.seekg(offset);
  const std::string opener = post ? "    --> HTTPPost(" : "    --> HTTPGet(";
  const std::string sent = "      sent \"";
  const std::string length = "      Content-Length: ";
  const std::string endWrite = "    --> HTTPEndWrite(";
  Request request;
  std::string line;
  bool found = false;
  while (std::getline(in, line)) {
    if (last && found && line.compare(0, opener.size(), opener) == 0 && line.back() == ')') {
      request = Request();
      found = false;
    }
    if (!found) {
      if (line.compare(0, opener.size(), opener) == 0 && line.back() == ')') {
        request.url = server.url() + kPathPrefix + line.substr(opener.size(), line.size() - opener.size() - 1);
        // The log masks the authenticator; curl sends the session's own.
        size_t masked = request.url.find("?****&");
        if (masked != std::string::npos) request.url.replace(masked + 1, 4, Narrow(CurrentConnPar().authenticator));
        found = true;
      }
      continue;
    }
    if (post && line.compare(0, sent.size(), sent) == 0 && line.back() == '"') {
      request.body += line.substr(sent.size(), line.size() - sent.size() - 1) + "\n";
    } else if (post && request.replyLength < 0 && line.compare(0, endWrite.size(), endWrite) == 0) {
      request.sentLength = std::atol(line.c_str() + endWrite.size());
      request.replyLength = 0;
    } else if (!post && request.replyLength < 0 && line.compare(0, length.size(), length) == 0) {
      request.replyLength = std::atol(line.c_str() + length.size());
    }
  }
  if (!found) Fail(std::string("no ") + (post ? "POST" : "GET") + " in the log");
  return request;
}

long LogSize(const std::string& logPath) {
  std::ifstream in(logPath, std::ios::binary | std::ios::ate);
  return in ? static_cast<long>(in.tellg()) : 0;
}

// ------------------------------------------------------------------ curl

struct CurlResult {
  double seconds = 0;  // curl's own time_total (its process start left out)
  long bytes = 0;      // what it fetched or posted
};

CurlResult CurlOnce(const std::string& arguments) {
  std::string command = "curl -s --noproxy '*' --http1.0 " + arguments;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) Fail("cannot run curl");
  std::string output;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
  int status = pclose(pipe);
  if (status != 0) Fail("curl failed: " + command);
  CurlResult result;
  std::istringstream in(output);
  if (!(in >> result.bytes >> result.seconds)) Fail("curl printed: " + output);
  return result;
}

// curl's time swings from run to run: the median of five.
CurlResult Curl(const std::string& arguments) {
  std::vector<CurlResult> runs;
  for (int i = 0; i < 5; ++i) runs.push_back(CurlOnce(arguments));
  std::sort(runs.begin(), runs.end(), [](const CurlResult& a, const CurlResult& b) { return a.seconds < b.seconds; });
  return runs[runs.size() / 2];
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// ------------------------------------------------------------------ report

struct Row {
  std::string kind;  // in the vorkab command's words
  std::string operation;  // load or save
  long records;
  double library;  // the library alone
  double full;     // the whole stack with the substitute host
  double curl;
  long bytes;
  long peak;  // peak memory of the full run over what was resident before it
  std::string memory;
  double libraryCpu = 0;  // the processor time of the library-alone run
};

void Print(const Row& row) {
  double libraryRatio = row.curl > 0 ? row.library / row.curl : 0.0;
  double fullRatio = row.curl > 0 ? row.full / row.curl : 0.0;
  double peakMb = row.peak / 1048576.0;
  std::printf("%-9s %-4s %6ld records %9ld bytes  curl %6.3f s  library %6.3f s (%5.2fx, cpu %6.3f s)  full %6.3f s "
              "(%5.2fx)  peak %7.1f MB%s%s\n",
              row.kind.c_str(), row.operation.c_str(), row.records, row.bytes, row.curl, row.library, libraryRatio,
              row.libraryCpu, row.full, fullRatio, peakMb, row.memory.empty() ? "" : "\n      ", row.memory.c_str());
  std::printf("BENCH kind=%s op=%s records=%ld curl_s=%.4f library_s=%.4f full_s=%.4f library_ratio=%.2f "
              "full_ratio=%.2f peak_mb=%.1f\n",
              row.kind.c_str(), row.operation.c_str(), row.records, row.curl, row.library, row.full, libraryRatio,
              fullRatio, peakMb);
  std::fflush(stdout);
}

std::string Megabytes(long bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MB", bytes / 1048576.0);
  return text;
}

// Whether VORKAB_BENCH_KINDS (a comma-separated list; all when unset) names
// the kind.
bool Wanted(const std::string& kind) {
  const char* kinds = std::getenv("VORKAB_BENCH_KINDS");
  if (!kinds || !*kinds) return true;
  std::string list = std::string(",") + kinds + ",";
  return list.find("," + kind + ",") != std::string::npos;
}

// A Load timed against curl; the workbook stays for a Save after it.
// prepare, when given, runs in each workbook before the Load (the names the
// kind's sheet refers to).
std::unique_ptr<Book> BenchLoad(const Server& server, const std::string& log, const std::string& kind,
                                const std::function<int32_t(int32_t, wchar_t*)>& call,
                                const std::function<void()>& prepare = nullptr, bool lastRequest = false) {
  if (!Wanted(kind)) return std::unique_ptr<Book>(new Book());
  // Untimed, with the log: the request's URL and the reply's length.  It
  // comes first, so that every timed run (curl's too) finds the server's
  // store as warm as the others do.
  Login(server, 2, log);
  Request request;
  {
    Book logged;
    if (VKEdbRsrcLoad() != 1) Fail("resources");
    if (prepare) prepare();
    long offset = LogSize(log);
    Run(call, kind + " load (logged)");
    request = FindRequest(log, offset, server, false, lastRequest);
  }

  // The library alone: the host drops what the Load writes.
  Login(server, 0, log);
  double library = 0;
  double libraryCpu = 0;
  {
    Book discarding;
    if (VKEdbRsrcLoad() != 1) Fail("resources");
    if (prepare) prepare();
    discarding.host.DiscardWrites(true);
    double t0 = Now();
    double c0 = CpuSeconds();
    Run(call, kind + " load (library alone)");
    library = Now() - t0;
    libraryCpu = CpuSeconds() - c0;
    if (discarding.host.Outstanding() != 0) Fail("the library left host values unfreed");
  }

  // The whole stack, without the log.
  Login(server, 0, log);
  std::unique_ptr<Book> book(new Book());
  if (VKEdbRsrcLoad() != 1) Fail("resources");
  if (prepare) prepare();
  size_t cellsBefore = book->Cells();
  size_t bytesBefore = book->Bytes();
  ResetPeak();
  long before = StatusBytes("VmRSS");
  double t0 = Now();
  long records = Run(call, kind + " load");
  double seconds = Now() - t0;
  long peak = StatusBytes("VmHWM");
  size_t cells = book->Cells() - cellsBefore;
  size_t bytes = book->Bytes() - bytesBefore;
  if (book->host.Outstanding() != 0) Fail("the library left host values unfreed");

  CurlResult curl = Curl("-o /dev/null -w '%{size_download} %{time_total}' " + Quoted(request.url));
  long fetched = curl.bytes;
  if (request.replyLength >= 0 && fetched != request.replyLength) {
    Fail("curl fetched " + std::to_string(fetched) + " bytes, the library " + std::to_string(request.replyLength));
  }
  Row row{kind, "load", records, library, seconds, curl.seconds, fetched, peak - before, "", libraryCpu};
  row.memory = "the workbook holds " + std::to_string(cells) + " new cells, about " +
               Megabytes(static_cast<long>(bytes)) + "; the reply is " + Megabytes(fetched);
  Print(row);
  return book;
}

// A Save from the workbook timed against curl posting the same body.
void BenchSave(const Server& server, const std::string& log, const std::string& kind, long records,
               const std::function<int32_t(int32_t, wchar_t*)>& call) {
  if (!Wanted(kind)) return;
  Login(server, 3, log);
  long offset = LogSize(log);
  Run(call, kind + " save (logged)");
  Request request = FindRequest(log, offset, server, true);

  // Twice: the first run is the library with the workbook already filled,
  // the second the same Save measured for its memory.
  Login(server, 0, log);
  double t0 = Now();
  double c0 = CpuSeconds();
  Run(call, kind + " save");
  double library = Now() - t0;
  double libraryCpu = CpuSeconds() - c0;
  Login(server, 0, log);
  ResetPeak();
  long before = StatusBytes("VmRSS");
  t0 = Now();
  Run(call, kind + " save");
  double seconds = Now() - t0;
  long peak = StatusBytes("VmHWM");

  std::string bodyFile = server.dir() + "/body.txt";
  std::string replyFile = server.dir() + "/reply.txt";
  std::ofstream(bodyFile, std::ios::binary) << request.body;
  CurlResult curl = Curl("-H 'Content-Type:' -H 'Expect:' --data-binary @" + Quoted(bodyFile) + " -o " +
                         Quoted(replyFile) + " -w '%{size_upload} %{time_total}' " + Quoted(request.url));
  std::ifstream reply(replyFile);
  std::string first;
  std::getline(reply, first);
  if (first != "Ok." && first != "OK!" && first != "Examining data" && first.compare(0, 9, "Import OK") != 0) Fail("the server refused curl's body: " + first);
  if (static_cast<long>(request.body.size()) != request.sentLength) {
    Fail("the body taken from the log has " + std::to_string(request.body.size()) + " bytes, the library sent " +
         std::to_string(request.sentLength));
  }
  Print(Row{kind, "save", records, library, seconds, curl.seconds, curl.bytes, peak - before,
            "the body is " + Megabytes(curl.bytes), libraryCpu});
}

}  // namespace

int main(int argc, char** argv) {
  Server server(argc > 1 ? argv[1] : EDB_SERVER_PATH);
  const std::string log = server.dir() + "/vorkab.log";
  const std::string model = RecordTemplate(server, "timevarp");
  const std::string vehicleModel = RecordTemplate(server, "veh");
  const std::string roadVehicleModel = RecordTemplate(server, "sveh");
  const std::string roadtypeModel = RecordTemplate(server, "roadtype");
  std::printf("transfer benchmark: server %s; curl's time is its own time_total\n",
              server.url().c_str());
  std::printf("indexes of substances, time variations, vehicles and roadtypes are 16-bit: 65535 stands in for\n"
              "100,000 of them; road vehicles are 100,000\n\n");

  // VORKAB_BENCH_SIZE=n measures that one size only (for profiling).
  std::vector<int> sizes = {10000, kMaxIndex};
  if (const char* only = std::getenv("VORKAB_BENCH_SIZE")) sizes = {std::atoi(only)};
  for (int size : sizes) {
    SeedRecords(server, "sub", size, [](int i) {
      char line[64];
      std::snprintf(line, sizeof line, "%d \"S%05d\"\n", i, i);
      return std::string(line);
    });
    BenchLoad(server, log, "substances", [](int32_t m, wchar_t* c) { return VKSubLoad(m, 0, c); });

    SeedRecords(server, "timevarp", size, [&model](int i) { return RecordBody(model, i); });
    std::unique_ptr<Book> book =
        BenchLoad(server, log, "timevars", [](int32_t m, wchar_t* c) { return VKTimevarsLoad(0, m, c); });
    BenchSave(server, log, "timevars", size, [](int32_t m, wchar_t* c) { return VKTimevarsSave(0, m, c); });
    if (book->host.Outstanding() != 0) Fail("the library left host values unfreed");
  }

  // The traffic kinds at the largest counts their indexes allow: vehicles and
  // roadtypes are numbered in 16 bits, road vehicles in 32.  Their sheets
  // name the seeded substances, speeds and vehicles.
  {
    auto substances = [] { Run([](int32_t m, wchar_t* c) { return VKSubLoad(m, 0, c); }, "substances"); };
    SeedRecords(server, "sub", 40, [](int i) { return std::to_string(i) + " \"S" + std::to_string(i) + "\"\n"; });
    SeedRecords(server, "veh", kMaxIndex, [&](int i) { return RecordBody(vehicleModel, i, "V"); });
    std::unique_ptr<Book> book = BenchLoad(server, log, "vehicles", VKVehiclesLoad, substances);
    BenchSave(server, log, "vehicles", kMaxIndex, VKVehiclesSave);
    book.reset();

    SeedRecords(server, "sveh", kRoadVehicles, [&](int i) { return RecordBody(roadVehicleModel, i, "R"); });
    book = BenchLoad(server, log, "roadvehicles", VKRoadVehiclesLoad, [&] {
      substances();
      wchar_t count[16];
      if (VKRoadVehiclesDefLoad(0, count) != 1) Fail("road-vehicle definition");
    });
    BenchSave(server, log, "roadvehicles", kRoadVehicles, VKRoadVehiclesSave);
    book.reset();

    // The roadtypes name vehicles of the demonstration's numbers.
    SeedRecords(server, "veh", 30, [&](int i) { return RecordBody(vehicleModel, i, "V"); });
    SeedRecords(server, "roadtype", kMaxIndex, [&](int i) { return RecordBody(roadtypeModel, i, "T"); });
    book = BenchLoad(server, log, "roadtypes", VKRoadtypesLoad,
                     [] { Run(VKVehiclesLoad, "vehicles"); });
    BenchSave(server, log, "roadtypes", kMaxIndex, VKRoadtypesSave);
  }

  // Companies and facilities, 100,000 each; facility i belongs to company i,
  // so each facility Load and Save finds its company among 100,000.
  {
    auto id = [](int i) {
      char text[16];
      std::snprintf(text, sizeof text, "C%06d", i);
      return std::string(text);
    };
    SeedRecords(server, "company", kRoadVehicles, [&](int i) {
      return "ID \"" + id(i) + "\"\nNAME \"Company " + id(i) + "\"\nINFO \"Industry\"\nINFO2 \"\"\n"
             "ADDRESS \"Industriv\xe4gen " + std::to_string(i) + "\"\nPOSTADDRESS \"Box 1\"\nINFOSUPPLIER \"\"\n"
             "MISC \"\"\nALOB 2\nEMPLOYEES=10\nFUEL=wood\n";
    });
    std::unique_ptr<Book> book = BenchLoad(server, log, "companies", VKCompaniesLoad);
    BenchSave(server, log, "companies", kRoadVehicles, VKCompaniesSave);
    book.reset();

    SeedRecords(server, "facility", kRoadVehicles, [&](int i) {
      return "X " + std::to_string(1000000 + i) + "\nY " + std::to_string(6000000 + i) + "\nNAME \"Plant " + id(i) +
             "\"\nCOMPANY \"" + id(i) + "\"\nINFO \"\"\nINFO2 \"\"\nADDRESS \"\"\nPOSTADDRESS \"\"\n"
             "INFOSUPPLIER \"\"\nMISC \"\"\nALOB 1\nSTACKS=1\n";
    });
    book = BenchLoad(server, log, "facilities", VKFacilitiesLoad, [] { Run(VKCompaniesLoad, "companies"); });
    BenchSave(server, log, "facilities", kRoadVehicles, VKFacilitiesSave);
  }

  // Sources, 100,000 with 5 emission blocks each (three substances, one
  // substance group, one emission function with two variables), at 50
  // facilities; the sheet's blocks name the seeded substances, groups,
  // functions and ten time variations.
  {
    SeedRecords(server, "company", 50, [](int i) {
      return "ID \"C" + std::to_string(i) + "\"\nNAME \"Company " + std::to_string(i) +
             "\"\nINFO \"\"\nINFO2 \"\"\nADDRESS \"\"\nPOSTADDRESS \"\"\nINFOSUPPLIER \"\"\nMISC \"\"\nALOB 0\n";
    });
    SeedRecords(server, "facility", 50, [](int i) {
      return "X " + std::to_string(1000000 + i) + "\nY " + std::to_string(6000000 + i) + "\nNAME \"Plant " +
             std::to_string(i) + "\"\nCOMPANY \"C" + std::to_string(i) +
             "\"\nINFO \"\"\nINFO2 \"\"\nADDRESS \"\"\nPOSTADDRESS \"\"\nINFOSUPPLIER \"\"\nMISC \"\"\nALOB 0\n";
    });
    SeedRecords(server, "timevarp", 10, [&model](int i) { return RecordBody(model, i); });
    SeedRecords(server, "source", kRoadVehicles, [](int i) {
      int f = 1 + i % 50;
      std::string t = std::to_string(1 + i % 10);
      std::string text = "X1 " + std::to_string(1000000 + i) + "\nY1 " + std::to_string(6000000 + i) +
                         "\nX2 0\nY2 0\nPX " + std::to_string(1000000 + f) + "\nPY " + std::to_string(6000000 + f) +
                         "\nNAME \"Stack " + std::to_string(i) +
                         "\"\nINFO \"Boiler\"\nINFO2 \"\"\nDATE 250115\nCHANGED 000000\nCHIMNEY HEIGHT 45\n"
                         "GASTEMPERATURE 120\nGAS FLOW 30\nSEARCHKEY1 0\nSEARCHKEY2 0\nSEARCHKEY3 0\nSEARCHKEY4 0\n"
                         "SEARCHKEY5 0\nCHIMNEY OUT 1.25\nCHIMNEY IN 0.8\nHOUSE WIDTH 12\nHOUSE HEIGHT 8\nNOSEGMENTS 2\n"
                         "BUILD_WIDTHS 10 20\nBUILD_HEIGHTS 5 6\nBUILD_LENGTHS 30 40\nBUILD_DISTFARWALL 7 8\n"
                         "BUILD_CENTER 3 4\nGEOCODE 1480\nFORMULAMACRO \"\"\nALOB 1\nPERMIT=" + std::to_string(i) + "\n";
      for (int n = 1; n <= 3; ++n) {
        std::string k = "EMISSION." + std::to_string(n) + ".";
        text += k + "SUBSTANCE " + std::to_string(n) + "\n" + k + "EMISSION " + std::to_string(i % 997) + ".25\n" +
                k + "TIMEVAR " + t + "\n" + k + "UNIT kg/year\n" + k + "MACRO \n" + k + "ACTCODE 1.A.1\n" + k +
                "ALOB 0\n";
      }
      text += "SUBGRP.1.SUBGRP 1\nSUBGRP.1.ACTIVITY 12.5\nSUBGRP.1.TIMEVAR " + t +
              "\nSUBGRP.1.UNIT MWh/year\nSUBGRP.1.ACTCODE \nSUBGRP.1.ALOB 0\n"
              "ACTIVITY.1.EMFAC 1\nACTIVITY.1.TIMEVAR " + t +
              "\nACTIVITY.1.VAR.1 100\nACTIVITY.1.VAR.2 0.5\nACTIVITY.1.ACTCODE \nACTIVITY.1.ALOB 0\n";
      return text;
    });
    std::unique_ptr<Book> book = BenchLoad(server, log, "sources", VKSourcesLoad, [] {
      Run([](int32_t m, wchar_t* c) { return VKSubLoad(m, 0, c); }, "substances");
      Run([](int32_t m, wchar_t* c) { return VKTimevarsLoad(0, m, c); }, "time variations");
      Run(VKSubgrpsLoad, "substance groups");
      Run(VKEmfacsLoad, "emission factors");
      Run(VKCompaniesLoad, "companies");
      Run(VKFacilitiesLoad, "facilities");
    });
    BenchSave(server, log, "sources", kRoadVehicles, VKSourcesSave);
  }
  // A grid of 1,000,000 cells (1000 x 1000, one substance): 60,000 rows a
  // sheet, so the Load fills 17 sheets and the Save reads them in turn.
  {
    SeedRecords(server, "sub", 40, [](int i) { return std::to_string(i) + " \"S" + std::to_string(i) + "\"\n"; });
    SeedGrid(server, "Bench", 1000, 1000);
    auto prepare = [] {
      Run([](int32_t m, wchar_t* c) { return VKSubLoad(m, 0, c); }, "substances");
      Run([](int32_t m, wchar_t* c) { return VKTimevarsLoad(0, m, c); }, "time variations");
    };
    std::unique_ptr<Book> book =
        BenchLoad(server, log, "grid", [](int32_t m, wchar_t* c) { return GridLoadCall(L"Grid.Bench", m, c); },
                  prepare, true);
    BenchSave(server, log, "grid", 1000000, [](int32_t m, wchar_t* c) { return VKGridSave(m, L"Grid.Bench", c); });
  }
  // Roads, 100,000 of 10 points each: the Load fills "Road" with 60,000 and
  // goes on in "Road (2)" (result 2, then mode 8).  Their sheets name road vehicles,
  // roadtypes, time variations, searchkeys and the definition's classes.
  {
    std::string model = RecordTemplate(server, "road");
    model = model.substr(0, model.find("\nX0 ") + 1);
    SeedRecords(server, "sveh", 40, [&](int i) { return RecordBody(roadVehicleModel, i, "R"); });
    SeedRecords(server, "roadtype", 20, [&](int i) { return RecordBody(roadtypeModel, i, "T"); });
    SeedRecords(server, "road", kRoadVehicles, [&](int i) {
      std::string body = RecordBody(model, i, "Road ");
      for (int p = 0; p < 10; ++p) {
        body += "X" + std::to_string(p) + " " + std::to_string(300000 + i % 50000 + 25 * p) + " Y" + std::to_string(p) +
                " " + std::to_string(6400000 + i / 50 + 10 * p) + "\n";
      }
      return body;
    });
    auto sheet = [](int n) { return n == 1 ? std::wstring(L"Road") : L"Road (" + std::to_wstring(n) + L")"; };
    auto load = [sheet](int32_t mode, wchar_t* count) {
      static int n = 1;
      if (mode == 1) n = 1;
      int32_t r = VKRoadsLoad(sheet(n).c_str(), mode, count);
      if (r != 2) return r;
      sheethost::Host::Current()->Book().AddSheet(sheet(++n));
      return VKRoadsLoad(sheet(n).c_str(), 8, count);
    };
    auto prepare = [] {
      sheethost::Workbook& book = sheethost::Host::Current()->Book();
      if (!book.FindSheet(L"Road")) book.AddSheet(L"Road");
      for (int32_t list = 0; list <= 5; ++list) {
        Run([list](int32_t m, wchar_t* c) { return VKSubLoad(m, list, c); }, "substances and searchkeys");
      }
      Run([](int32_t m, wchar_t* c) { return VKTimevarsLoad(1, m, c); }, "road time variations");
      wchar_t count[16];
      if (VKRoadVehiclesDefLoad(0, count) != 1) Fail("road-vehicle definition");
      Run(VKVehiclesLoad, "vehicles");
      Run(VKRoadVehiclesLoad, "road vehicles");
      Run(VKRoadtypesLoad, "roadtypes");
    };
    // The Save posts one body per sheet, which the curl comparison does not
    // follow: the Load is measured.
    BenchLoad(server, log, "roads", load, prepare);
  }

  // Substances are saved as searchkey lists only, of at most 127 names.
  {
    Login(server, 0, log);
    Book book;
    for (int row = 1; row <= kMaxSearchkeys; ++row) {
      book.host.Book().SetCell(L"Searchkey", row, 1, sheethost::Cell::Str(L"K" + std::to_wstring(row)));
    }
    BenchSave(server, log, "searchkeys", kMaxSearchkeys, [](int32_t m, wchar_t* c) { return VKSubSave(m, 1, c); });
  }

  SetExcel12EntryPt(nullptr);
  std::printf("\nratios = seconds / curl's seconds (library: the library alone; full: with the substitute host);\n"
              "peak = peak resident memory of the full run over what was resident before it.\nSave sizes above 127 are measured with time variations\n"
              "only (a searchkey list holds at most 127 names and substance list 0 cannot be saved)\n");
  return 0;
}
