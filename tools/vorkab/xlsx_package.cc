// Zip packages through libzip (see xlsx_package.h).
#include "xlsx_package.h"

#include <sys/stat.h>
#include <zip.h>

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace xlsx {

namespace {

std::string ErrorOf(zip_error_t* error) {
  const char* text = zip_error_strerror(error);
  return text ? text : "unknown zip error";
}

std::string ErrorCode(int code) {
  zip_error_t error;
  zip_error_init_with_code(&error, code);
  std::string text = ErrorOf(&error);
  zip_error_fini(&error);
  return text;
}

}  // namespace

// ---------------------------------------------------------------- reader

PackageReader::~PackageReader() {
  if (m_zip) zip_discard(m_zip);
}

bool PackageReader::Open(const std::string& path, std::string* error) {
  if (m_zip) {
    zip_discard(m_zip);
    m_zip = nullptr;
  }
  struct stat st;
  if (stat(path.c_str(), &st) != 0) {
    *error = std::string("cannot open the file (") + std::strerror(errno) + ")";
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    *error = "not a workbook file (not a regular file)";
    return false;
  }
  int code = 0;
  m_zip = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
  if (!m_zip) {
    if (code == ZIP_ER_NOZIP) {
      *error = "not a workbook file (not a zip archive)";
    } else if (code == ZIP_ER_INCONS) {
      *error = "not a workbook file (a damaged zip archive)";
    } else {
      *error = "cannot read the file (" + ErrorCode(code) + ")";
    }
    return false;
  }
  return true;
}

std::vector<std::string> PackageReader::Names() const {
  std::vector<std::string> names;
  zip_int64_t count = m_zip ? zip_get_num_entries(m_zip, 0) : 0;
  for (zip_int64_t i = 0; i < count; ++i) {
    const char* name = zip_get_name(m_zip, static_cast<zip_uint64_t>(i), 0);
    if (name && *name && name[std::strlen(name) - 1] != '/') names.push_back(name);
  }
  return names;
}

bool PackageReader::Has(const std::string& part) const {
  return m_zip && zip_name_locate(m_zip, part.c_str(), ZIP_FL_NOCASE) >= 0;
}

bool PackageReader::Read(const std::string& part, std::string* bytes, std::string* error) const {
  zip_int64_t index = m_zip ? zip_name_locate(m_zip, part.c_str(), ZIP_FL_NOCASE) : -1;
  if (index < 0) {
    *error = "part " + part + " is missing";
    return false;
  }
  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_stat_index(m_zip, static_cast<zip_uint64_t>(index), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)) {
    *error = "part " + part + ": " + ErrorOf(zip_get_error(m_zip));
    return false;
  }
  if (st.size > kMaxPartBytes) {
    *error = "part " + part + " is too large (" + std::to_string(st.size) + " bytes)";
    return false;
  }
  zip_file_t* file = zip_fopen_index(m_zip, static_cast<zip_uint64_t>(index), 0);
  if (!file) {
    *error = "part " + part + ": " + ErrorOf(zip_get_error(m_zip));
    return false;
  }
  bytes->assign(static_cast<size_t>(st.size), '\0');
  size_t got = 0;
  bool ok = true;
  while (ok && got < bytes->size()) {
    zip_int64_t n = zip_fread(file, &(*bytes)[got], bytes->size() - got);
    if (n <= 0) {
      ok = false;
    } else {
      got += static_cast<size_t>(n);
    }
  }
  // One more read reaches the end, where the checksum is compared.
  char extra;
  if (ok && zip_fread(file, &extra, 1) != 0) ok = false;
  if (!ok) {
    zip_error_t* fileError = zip_file_get_error(file);
    std::string reason = zip_error_code_zip(fileError) != ZIP_ER_OK ? ErrorOf(fileError) : "data is cut short";
    *error = "part " + part + " is damaged: " + reason;
  }
  zip_fclose(file);
  if (!ok) bytes->clear();
  return ok;
}

// ---------------------------------------------------------------- writer

// A temporary file that is removed with the object.
class TempFile {
 public:
  TempFile() {
    const char* dir = getenv("TMPDIR");
    m_path = std::string(dir && *dir ? dir : "/tmp") + "/vorkab-zip-XXXXXX";
    int fd = mkstemp(&m_path[0]);
    if (fd < 0) {
      m_path.clear();
    } else {
      close(fd);
    }
  }
  ~TempFile() {
    if (!m_path.empty()) unlink(m_path.c_str());
  }
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
};

bool PackageWriter::Finish(std::string* archive, std::string* error) const {
  // libzip writes the archive through a temporary file: its memory buffers
  // (1.7) free a buffer they share with the archive started from twice when
  // the start of the archive stays as it was.
  TempFile file;
  if (file.Path().empty()) {
    *error = std::string("cannot create a temporary file: ") + strerror(errno);
    return false;
  }
  if (!m_base.empty()) {
    std::ofstream out(file.Path(), std::ios::binary | std::ios::trunc);
    out.write(m_base.data(), static_cast<std::streamsize>(m_base.size()));
    if (!out.flush()) {
      *error = "cannot write the temporary file " + file.Path();
      return false;
    }
  }
  int code = 0;
  zip_t* za = zip_open(file.Path().c_str(), m_base.empty() ? ZIP_TRUNCATE : 0, &code);
  if (!za) {
    *error = ErrorCode(code);
    return false;
  }
  bool ok = true;
  for (const std::string& part : m_removed) {
    zip_int64_t index = zip_name_locate(za, part.c_str(), ZIP_FL_NOCASE);
    if (index >= 0 && zip_delete(za, static_cast<zip_uint64_t>(index)) != 0) ok = false;
  }
  for (const auto& part : m_parts) {
    if (!ok) break;
    zip_source_t* data = zip_source_buffer(za, part.second.data(), part.second.size(), 0);
    if (!data) {
      ok = false;
      break;
    }
    zip_int64_t index = zip_file_add(za, part.first.c_str(), data, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
    if (index < 0) {
      zip_source_free(data);
      ok = false;
      break;
    }
    if (zip_set_file_compression(za, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 6) != 0) {
      ok = false;
      break;
    }
  }
  if (!ok || zip_close(za) != 0) {
    *error = ErrorOf(zip_get_error(za));
    zip_discard(za);
    return false;
  }
  std::ifstream in(file.Path(), std::ios::binary);
  archive->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad() || archive->empty()) {
    *error = "cannot read the temporary file " + file.Path() + " back";
    archive->clear();
    return false;
  }
  return true;
}

}  // namespace xlsx
