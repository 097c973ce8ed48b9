// Loading a workbook file into the substitute host's workbook (see
// xlsx_file.h): the package relationships lead to the workbook part, its
// relationships to the worksheets and the shared strings.
#include <pugixml.hpp>

#include <charconv>
#include <cstring>
#include <map>
#include <system_error>
#include <vector>

#include "xlsx_cell_text.h"
#include "xlsx_file.h"
#include "xlsx_package.h"
#include "xlsx_part_names.h"
#include "xlsx_text.h"

namespace {

using sheethost::Cell;
using sheethost::Sheet;
using sheethost::Workbook;

// ------------------------------------------------------------ XML helpers
// Elements and attributes are matched by their local names, whatever prefix
// the file gives the namespace.

const char* LocalName(const char* name) {
  const char* colon = std::strrchr(name, ':');
  return colon ? colon + 1 : name;
}

bool Is(const pugi::xml_node& node, const char* local) {
  return node.type() == pugi::node_element && std::strcmp(LocalName(node.name()), local) == 0;
}

pugi::xml_node Child(const pugi::xml_node& node, const char* local) {
  for (pugi::xml_node child : node.children()) {
    if (Is(child, local)) return child;
  }
  return pugi::xml_node();
}

// An attribute without a prefix.
const char* Attribute(const pugi::xml_node& node, const char* name) {
  pugi::xml_attribute a = node.attribute(name);
  return a ? a.value() : nullptr;
}

// The relationship id of a sheet element ("r:id" with whatever prefix).
const char* RelationshipId(const pugi::xml_node& node) {
  for (pugi::xml_attribute a : node.attributes()) {
    if (std::strchr(a.name(), ':') && std::strcmp(LocalName(a.name()), "id") == 0) return a.value();
  }
  return nullptr;
}

// The text content of an element (all its character data).
std::string TextOf(const pugi::xml_node& node) {
  std::string text;
  for (pugi::xml_node child : node.children()) {
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) text += child.value();
  }
  return text;
}

// A string item: its text, or its runs of text (phonetic hints left out).
std::string RichText(const pugi::xml_node& node) {
  std::string text;
  for (pugi::xml_node child : node.children()) {
    if (Is(child, "t")) {
      text += TextOf(child);
    } else if (Is(child, "r")) {
      for (pugi::xml_node run : child.children()) {
        if (Is(run, "t")) text += TextOf(run);
      }
    }
  }
  return text;
}

// A piece of the file's text for a message: in quotes, at most 40 bytes
// (cut between characters), control characters shown as '?'.
std::string Quoted(const std::string& text) {
  size_t size = text.size();
  if (size > 40) {
    size = 40;
    while (size > 0 && (static_cast<unsigned char>(text[size]) & 0xC0) == 0x80) --size;
  }
  std::string quoted = "\"";
  for (size_t i = 0; i < size; ++i) quoted.push_back(static_cast<unsigned char>(text[i]) < 0x20 ? '?' : text[i]);
  return quoted + (size < text.size() ? "...\"" : "\"");
}

// Sets the problem; false.
bool Problem(std::string* problem, const std::string& text) {
  *problem = text;
  return false;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

struct Relationship {
  std::string type;
  std::string part;  // empty for targets outside the package
};

// A part's bytes and the document parsed in place from them.
struct XmlPart {
  std::string bytes;
  pugi::xml_document doc;
};

struct SheetEntry {
  std::wstring name;
  std::string part;
};

// ------------------------------------------------------------ the loader

class Loader {
 public:
  Loader(const std::string& path, const XlsxLimits& limits) : m_path(path), m_limits(limits) {}

  bool Run(Workbook& book);
  const std::string& Error() const { return m_error; }

 private:
  bool Fail(const std::string& where, const std::string& problem) {
    m_error = m_path + ": " + (where.empty() ? "" : where + ": ") + problem;
    for (char& c : m_error) {
      if (static_cast<unsigned char>(c) < 0x20) c = '?';  // one line
    }
    return false;
  }
  bool ReadXml(const std::string& part, const char* root, XmlPart* xml);
  bool ReadRelationships(const std::string& source, std::map<std::string, Relationship>* relationships);
  bool ReadWorkbook(const std::string& part, std::vector<SheetEntry>* sheets, std::string* sharedStrings);
  bool ReadSharedStrings(const std::string& part);
  bool ReadSheet(const SheetEntry& entry, Sheet* sheet);
  bool CellValue(const pugi::xml_node& cell, Cell* value, std::string* problem) const;
  bool Decode(const std::string& utf8, std::wstring* text, std::string* problem) const;

  std::string m_path;
  XlsxLimits m_limits;
  std::string m_error;
  xlsx::PackageReader m_package;
  std::vector<std::wstring> m_strings;
  bool m_date1904 = false;
  size_t m_inflated = 0;  // bytes of the parts read so far
  size_t m_cells = 0;     // cells of the sheets read so far
};

bool Loader::ReadXml(const std::string& part, const char* root, XmlPart* xml) {
  std::string problem;
  if (!m_package.Read(part, &xml->bytes, &problem)) return Fail("", problem);
  m_inflated += xml->bytes.size();
  if (m_inflated > m_limits.inflatedBytes) {
    return Fail(part, "the file inflates to more than " + std::to_string(m_limits.inflatedBytes) +
                          " bytes, more than vorkab reads");
  }
  // Whitespace-only text is kept where it is an element's whole text (<t> </t>).
  pugi::xml_parse_result result = xml->doc.load_buffer_inplace(
      &xml->bytes[0], xml->bytes.size(), pugi::parse_default | pugi::parse_ws_pcdata_single, pugi::encoding_auto);
  if (!result) {
    return Fail(part, "broken XML at byte " + std::to_string(result.offset) + " (" + result.description() + ")");
  }
  if (!Is(xml->doc.document_element(), root)) return Fail(part, std::string("not a ") + root + " part");
  return true;
}

bool Loader::ReadRelationships(const std::string& source, std::map<std::string, Relationship>* relationships) {
  std::string part = xlsx::RelationshipsPart(source);
  XmlPart xml;
  if (!ReadXml(part, "Relationships", &xml)) return false;
  for (pugi::xml_node node : xml.doc.document_element().children()) {
    if (!Is(node, "Relationship")) continue;
    const char* id = Attribute(node, "Id");
    const char* type = Attribute(node, "Type");
    const char* target = Attribute(node, "Target");
    const char* mode = Attribute(node, "TargetMode");
    if (!id || !type || !target) return Fail(part, "a relationship lacks its Id, Type or Target");
    Relationship r;
    r.type = type;
    if (!(mode && std::strcmp(mode, "External") == 0)) r.part = xlsx::ResolveTarget(source, target);
    (*relationships)[id] = r;
  }
  return true;
}

bool Loader::Decode(const std::string& utf8, std::wstring* text, std::string* problem) const {
  if (xlsx::DecodeText(utf8, text)) return true;
  *problem = "text that is not valid UTF-8";
  return false;
}

bool Loader::ReadWorkbook(const std::string& part, std::vector<SheetEntry>* sheets, std::string* sharedStrings) {
  XmlPart xml;
  if (!ReadXml(part, "workbook", &xml)) return false;
  pugi::xml_node root = xml.doc.document_element();
  if (const char* date1904 = Attribute(Child(root, "workbookPr"), "date1904")) {
    m_date1904 = std::strcmp(date1904, "1") == 0 || std::strcmp(date1904, "true") == 0;
  }
  std::map<std::string, Relationship> relationships;
  if (!ReadRelationships(part, &relationships)) return false;
  for (const auto& r : relationships) {
    if (EndsWith(r.second.type, "/sharedStrings") && !r.second.part.empty()) *sharedStrings = r.second.part;
  }
  for (pugi::xml_node node : Child(root, "sheets").children()) {
    if (!Is(node, "sheet")) continue;
    const char* name = Attribute(node, "name");
    const char* id = RelationshipId(node);
    if (!name || !id) return Fail(part, "a sheet lacks its name or relationship");
    SheetEntry entry;
    std::string problem;
    if (!Decode(name, &entry.name, &problem)) return Fail(part, "a sheet name holds " + problem);
    auto r = relationships.find(id);
    if (r == relationships.end() || r->second.part.empty()) {
      return Fail(part, "sheet " + Quoted(name) + " has no part in the file");
    }
    // Chart and dialog sheets hold no cells.
    if (!EndsWith(r->second.type, "/worksheet")) continue;
    entry.part = r->second.part;
    sheets->push_back(entry);
  }
  if (sheets->empty()) return Fail(part, "the workbook has no worksheet");
  return true;
}

bool Loader::ReadSharedStrings(const std::string& part) {
  XmlPart xml;
  if (!ReadXml(part, "sst", &xml)) return false;
  for (pugi::xml_node node : xml.doc.document_element().children()) {
    if (!Is(node, "si")) continue;
    if (m_strings.size() == m_limits.sharedStrings) {
      return Fail(part, "more than " + std::to_string(m_limits.sharedStrings) +
                            " shared strings, more than vorkab reads");
    }
    std::wstring text;
    std::string problem;
    if (!Decode(RichText(node), &text, &problem)) {
      return Fail(part, "shared string " + std::to_string(m_strings.size()) + " holds " + problem);
    }
    m_strings.push_back(std::move(text));
  }
  return true;
}

bool Loader::CellValue(const pugi::xml_node& cell, Cell* value, std::string* problem) const {
  const char* typeAttribute = Attribute(cell, "t");
  std::string type = typeAttribute ? typeAttribute : "n";
  if (type == "inlineStr") {
    pugi::xml_node is = Child(cell, "is");
    if (!is) return true;
    std::wstring text;
    if (!Decode(RichText(is), &text, problem)) return false;
    *value = Cell::Str(std::move(text));
    return true;
  }
  pugi::xml_node v = Child(cell, "v");
  if (!v) return true;  // a formatted cell without a value, or a formula never computed
  std::string text = TextOf(v);
  if (type == "n") {
    double number;
    if (text.find_first_not_of(" \t\r\n") == std::string::npos) return true;
    if (!xlsx::ParseNumber(text, &number)) return Problem(problem, Quoted(text) + " is not a number");
    *value = Cell::Num(number);
  } else if (type == "s") {
    size_t index = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), index);
    if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size() || index >= m_strings.size()) {
      return Problem(problem, "shared string " + Quoted(text) + " does not exist");
    }
    *value = Cell::Str(m_strings[index]);
  } else if (type == "str") {
    std::wstring wide;
    if (!Decode(text, &wide, problem)) return false;
    *value = Cell::Str(std::move(wide));
  } else if (type == "b") {
    bool b;
    if (!xlsx::ParseBoolean(text, &b)) return Problem(problem, Quoted(text) + " is not a boolean");
    *value = Cell::Bool(b);
  } else if (type == "e") {
    int code;
    if (!xlsx::ParseErrorName(text, &code)) return Problem(problem, Quoted(text) + " is not a known error value");
    *value = Cell::Err(code);
  } else if (type == "d") {
    double serial;
    if (!xlsx::ParseIsoDate(text, m_date1904, &serial)) return Problem(problem, Quoted(text) + " is not a date");
    *value = Cell::Num(serial);
  } else {
    *problem = "unknown cell type " + Quoted(type);
    return false;
  }
  return true;
}

bool Loader::ReadSheet(const SheetEntry& entry, Sheet* sheet) {
  XmlPart xml;
  if (!ReadXml(entry.part, "worksheet", &xml)) return false;
  std::string where = entry.part + " (sheet \"" + xlsx::ToUtf8(entry.name) + "\")";
  RW nextRow = 0;
  size_t cells = 0;
  for (pugi::xml_node row : Child(xml.doc.document_element(), "sheetData").children()) {
    if (!Is(row, "row")) continue;
    RW r = nextRow;
    if (const char* number = Attribute(row, "r")) {
      if (!xlsx::ParseRowNumber(number, &r)) return Fail(where, "row " + Quoted(number) + " is not a row of the grid");
    } else if (nextRow >= kXlRows) {
      return Fail(where, "more rows than the grid has");
    }
    nextRow = r + 1;
    COL nextColumn = 0;
    for (pugi::xml_node cell : row.children()) {
      if (!Is(cell, "c")) continue;
      RW cellRow = r;
      COL column = nextColumn;
      if (const char* name = Attribute(cell, "r")) {
        if (!xlsx::ParseCellName(name, &cellRow, &column)) {
          return Fail(where, "cell reference " + Quoted(name) + " is not a cell of the grid");
        }
      } else if (nextColumn >= kXlColumns) {
        return Fail(where, "row " + std::to_string(r + 1) + " has more cells than the grid has columns");
      }
      nextColumn = column + 1;
      Cell value;
      std::string problem;
      if (!CellValue(cell, &value, &problem)) {
        return Fail(where, "cell " + xlsx::CellName(cellRow, column) + ": " + problem);
      }
      if (value.IsEmpty()) continue;
      if (++cells > m_limits.cellsPerSheet) {
        return Fail(where, "more than " + std::to_string(m_limits.cellsPerSheet) +
                               " cells, more than vorkab reads in a sheet");
      }
      if (++m_cells > m_limits.cells) {
        return Fail(where, "the workbook holds more than " + std::to_string(m_limits.cells) +
                               " cells, more than vorkab reads");
      }
      if (!sheet->Set(cellRow, column, value)) {
        return Fail(where, "cell " + xlsx::CellName(cellRow, column) + ": text longer than " +
                               std::to_string(kXlMaxText) + " characters");
      }
    }
  }
  return true;
}

bool Loader::Run(Workbook& book) {
  std::string problem;
  if (!m_package.Open(m_path, &problem)) return Fail("", problem);

  // The package relationships name the workbook part; files without them
  // keep it in the usual place.
  std::string workbookPart;
  if (m_package.Has("_rels/.rels")) {
    std::map<std::string, Relationship> relationships;
    if (!ReadRelationships("", &relationships)) return false;
    for (const auto& r : relationships) {
      if (EndsWith(r.second.type, "/officeDocument") && !r.second.part.empty()) workbookPart = r.second.part;
    }
  }
  if (workbookPart.empty()) workbookPart = "xl/workbook.xml";
  if (!m_package.Has(workbookPart)) return Fail("", "no workbook part (" + workbookPart + ")");

  std::vector<SheetEntry> sheets;
  std::string sharedStrings;
  if (!ReadWorkbook(workbookPart, &sheets, &sharedStrings)) return false;
  if (!sharedStrings.empty() && !ReadSharedStrings(sharedStrings)) return false;
  for (const auto& entry : sheets) {
    Sheet* sheet = book.AddSheet(entry.name);
    if (!sheet) {
      return Fail(workbookPart, "sheet name " + Quoted(xlsx::ToUtf8(entry.name)) + " is not allowed or appears twice");
    }
    if (!m_package.Has(entry.part)) {
      return Fail("", "the part " + entry.part + " of sheet \"" + xlsx::ToUtf8(entry.name) + "\" is missing");
    }
    if (!ReadSheet(entry, sheet)) return false;
  }
  return true;
}

}  // namespace

bool LoadXlsx(const std::string& path, Workbook& book, std::string* error, const XlsxLimits& limits) {
  Loader loader(path, limits);
  if (book.SheetCount() == 0) {
    // An empty workbook takes the file directly and is emptied again on failure.
    if (loader.Run(book)) return true;
    if (error) *error = loader.Error();
    while (book.SheetCount() > 0) book.RemoveSheet(std::wstring(book.Sheets().front()->Name()));
    return false;
  }
  // Otherwise the file goes into a workbook of its own first, so that a
  // failure leaves the caller's sheets as they were.
  Workbook loaded;
  if (!loader.Run(loaded)) {
    if (error) *error = loader.Error();
    return false;
  }
  std::vector<std::wstring> old;
  for (const Sheet* sheet : book.Sheets()) old.push_back(sheet->Name());
  for (const auto& name : old) book.RemoveSheet(name);
  for (const Sheet* from : loaded.Sheets()) {
    Sheet* to = book.AddSheet(from->Name());
    if (!to) continue;  // cannot happen: the same rules admitted the name
    for (const auto& cell : from->Cells()) to->Set(cell.first.first, cell.first.second, cell.second);
  }
  return true;
}
