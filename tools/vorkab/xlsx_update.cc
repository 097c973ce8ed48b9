// Updating a workbook file part by part (see xlsx_update.h).
#include "xlsx_update.h"

#include <pugixml.hpp>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>

#include "xlsx_cell_text.h"
#include "xlsx_file_replace.h"
#include "xlsx_package.h"
#include "xlsx_part_names.h"
#include "xlsx_text.h"

namespace xlsx {

namespace {

using sheethost::Cell;
using sheethost::CellKind;
using sheethost::Sheet;

const char kRelationshipType[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
const char kRelationshipsNamespace[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const char kSpreadsheetType[] = "application/vnd.openxmlformats-officedocument.spreadsheetml.";
const char kCustomType[] = "application/vnd.openxmlformats-officedocument.custom-properties+xml";
const char kCustomNamespace[] = "http://schemas.openxmlformats.org/officeDocument/2006/custom-properties";
const char kVariantNamespace[] = "http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes";
const char kPropertyFormat[] = "{D5CDD505-2E9C-101B-9397-08002B2CF9AE}";
const char kDataMark[] = "<!--vorkab-sheet-data-->";

// A package that is not yet a workbook: parts a new file starts from.
const char kSkeletonTypes[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/xl/workbook.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
    "<Override PartName=\"/xl/styles.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/></Types>";
const char kSkeletonRels[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
    "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
const char kSkeletonWorkbook[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
    "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets/></workbook>";
const char kSkeletonWorkbookRels[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
    "styles\" Target=\"styles.xml\"/></Relationships>";

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

// "x:" when the element's name carries that prefix.
std::string PrefixOf(const pugi::xml_node& node) {
  const char* colon = std::strrchr(node.name(), ':');
  return colon ? std::string(node.name(), colon + 1) : std::string();
}

struct StringWriter : pugi::xml_writer {
  std::string out;
  void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), size); }
};

std::string Serialize(const pugi::xml_document& doc) {
  StringWriter writer;
  doc.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
  return std::move(writer.out);
}

void AppendEscaped(const std::string& text, std::string* out) {
  for (char c : text) {
    switch (c) {
      case '&': *out += "&amp;"; break;
      case '<': *out += "&lt;"; break;
      case '>': *out += "&gt;"; break;
      case '"': *out += "&quot;"; break;
      default: out->push_back(c);
    }
  }
}

void SetCount(pugi::xml_node node, int count) {
  pugi::xml_attribute a = node.attribute("count");
  if (!a) a = node.append_attribute("count");
  a.set_value(count);
}

const char kCoreType[] = "application/vnd.openxmlformats-package.core-properties+xml";
const char kCoreNamespace[] = "http://schemas.openxmlformats.org/package/2006/metadata/core-properties";
const char kDcNamespace[] = "http://purl.org/dc/elements/1.1/";
const char kMirrorMark[] = "vorkab";

// The properties as one line for the core properties' identifier, which
// programs that drop custom properties (openpyxl before 3.1) keep:
// "vorkab name=value ..." with '%', blanks, '=' and control characters of
// the values percent-escaped.
std::string MirrorText(const Properties& properties) {
  std::string text = kMirrorMark;
  for (const auto& p : properties) {
    text += " " + p.first + "=";
    for (unsigned char c : p.second) {
      if (c <= ' ' || c == '%' || c == '=' || c == 0x7F) {
        char escape[4];
        snprintf(escape, sizeof escape, "%%%02X", c);
        text += escape;
      } else {
        text.push_back(static_cast<char>(c));
      }
    }
  }
  return text;
}

void ReadMirror(const std::string& text, Properties* properties) {
  if (text.compare(0, sizeof kMirrorMark - 1, kMirrorMark) != 0) return;
  size_t at = sizeof kMirrorMark - 1;
  while (at < text.size()) {
    while (at < text.size() && text[at] == ' ') ++at;
    size_t end = text.find(' ', at);
    if (end == std::string::npos) end = text.size();
    std::string pair = text.substr(at, end - at);
    at = end;
    size_t eq = pair.find('=');
    if (eq == std::string::npos || eq == 0) continue;
    std::string value;
    for (size_t i = eq + 1; i < pair.size(); ++i) {
      if (pair[i] == '%' && i + 2 < pair.size() + 0 && isxdigit(static_cast<unsigned char>(pair[i + 1])) &&
          isxdigit(static_cast<unsigned char>(pair[i + 2]))) {
        value.push_back(static_cast<char>(std::stoi(pair.substr(i + 1, 2), nullptr, 16)));
        i += 2;
      } else {
        value.push_back(pair[i]);
      }
    }
    properties->emplace(pair.substr(0, eq), value);  // custom properties, when there, win
  }
}

// The prefix a document gives a namespace ("dc:"), or empty when undeclared.
std::string PrefixFor(const pugi::xml_node& root, const char* uri) {
  for (pugi::xml_attribute a : root.attributes()) {
    if (std::strncmp(a.name(), "xmlns:", 6) == 0 && std::strcmp(a.value(), uri) == 0) return std::string(a.name() + 6) + ":";
  }
  return std::string();
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r'; }

// The parts of the package in archive order, by name: read when first
// asked for; on writing, only the parts put or dropped are new, the others
// are copied as stored.
class Package {
 public:
  bool Load(const std::string& path, std::string* error) {
    if (!m_reader.Open(path, error)) return false;
    m_order = m_reader.Names();
    m_path = path;
    return true;
  }
  // The stored name of a part (names compare without ASCII case); empty when missing.
  std::string Find(const std::string& part) const {
    for (const std::string& name : m_order) {
      if (name.size() == part.size() && strncasecmp(name.c_str(), part.c_str(), name.size()) == 0) return name;
    }
    return std::string();
  }
  bool Has(const std::string& part) const { return !Find(part).empty(); }
  // The part's bytes; false with the reason when it cannot be read.
  bool Read(const std::string& part, const std::string** bytes, std::string* error) {
    std::string name = Find(part);
    if (name.empty()) {
      *error = "part " + part + " is missing";
      return false;
    }
    auto cached = m_parts.find(name);
    if (cached == m_parts.end()) {
      std::string read;
      if (!m_reader.Read(name, &read, error)) return false;
      cached = m_parts.emplace(name, std::move(read)).first;
    }
    *bytes = &cached->second;
    return true;
  }
  void Put(const std::string& part, std::string bytes) {
    std::string name = Find(part);
    if (name.empty()) {
      name = part;
      m_order.push_back(name);
    }
    m_parts[name] = std::move(bytes);
    m_changed.insert(name);
  }
  void Drop(const std::string& part) {
    std::string name = Find(part);
    m_order.erase(std::remove(m_order.begin(), m_order.end(), name), m_order.end());
    m_parts.erase(name);
    m_changed.erase(name);
    m_dropped.push_back(name);
  }
  bool Parse(const std::string& part, pugi::xml_document* doc, std::string* error) {
    const std::string* bytes = nullptr;
    if (!Read(part, &bytes, error)) return false;
    pugi::xml_parse_result r = doc->load_buffer(bytes->data(), bytes->size(),
                                                pugi::parse_default | pugi::parse_declaration |
                                                    pugi::parse_ws_pcdata_single);
    if (!r) *error = part + ": broken XML (" + r.description() + ")";
    return static_cast<bool>(r);
  }
  bool Finish(std::string* archive, std::string* error) {
    PackageWriter writer;
    if (!m_path.empty()) {
      std::ifstream in(m_path, std::ios::binary);
      std::string original((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      if (!in.good() && !in.eof()) {
        *error = "cannot read the file again";
        return false;
      }
      writer.StartFrom(std::move(original));
      for (const std::string& name : m_dropped) writer.Remove(name);
    }
    for (const std::string& name : m_order) {
      if (m_path.empty() || m_changed.count(name)) writer.Add(name, m_parts.at(name));
    }
    return writer.Finish(archive, error);
  }

 private:
  PackageReader m_reader;
  std::string m_path;  // empty for a new package
  std::vector<std::string> m_order;
  std::map<std::string, std::string> m_parts;
  std::set<std::string> m_changed;
  std::vector<std::string> m_dropped;
};

// Relationships of one part, parsed, with a way to add one.
struct Relationships {
  std::string part;
  pugi::xml_document doc;

  pugi::xml_node Root() { return doc.document_element(); }
  // The target part of the first relationship of that type ("worksheet").
  std::string TargetOf(const std::string& source, const std::string& type) {
    for (pugi::xml_node r : Root().children()) {
      if (!Is(r, "Relationship")) continue;
      std::string t = r.attribute("Type").value();
      if (t.size() > type.size() && t.compare(t.size() - type.size() - 1, std::string::npos, "/" + type) == 0 &&
          std::strcmp(r.attribute("TargetMode").value(), "External") != 0) {
        return ResolveTarget(source, r.attribute("Target").value());
      }
    }
    return std::string();
  }
  std::string Add(const std::string& type, const std::string& target) {
    std::set<std::string> ids;
    for (pugi::xml_node r : Root().children()) ids.insert(r.attribute("Id").value());
    int n = 1;
    while (ids.count("rId" + std::to_string(n))) ++n;
    std::string id = "rId" + std::to_string(n);
    pugi::xml_node r = Root().append_child((PrefixOf(Root()) + "Relationship").c_str());
    r.append_attribute("Id") = id.c_str();
    r.append_attribute("Type") = (kRelationshipType + type).c_str();
    r.append_attribute("Target") = target.c_str();
    return id;
  }
  void RemoveType(const std::string& type) {
    for (pugi::xml_node r = Root().first_child(); r;) {
      pugi::xml_node next = r.next_sibling();
      std::string t = r.attribute("Type").value();
      if (t.size() >= type.size() && t.compare(t.size() - type.size(), std::string::npos, type) == 0) {
        Root().remove_child(r);
      }
      r = next;
    }
  }
};

// The columns' widths in characters from the texts they hold.
std::string ColumnsElement(const Sheet& sheet, const std::string& prefix) {
  std::map<COL, size_t> widest;
  for (const auto& entry : sheet.Cells()) {
    const Cell& cell = entry.second;
    size_t length = cell.kind == CellKind::Text     ? cell.text.size()
                    : cell.kind == CellKind::Number ? NumberText(cell.number).size()
                                                    : 5;
    size_t& w = widest[entry.first.second];
    w = std::max(w, length);
  }
  if (widest.empty()) return std::string();
  std::string xml = "<" + prefix + "cols>";
  for (const auto& column : widest) {
    double width = std::min<double>(50, std::max<double>(8.43, static_cast<double>(column.second) + 2));
    std::string number = std::to_string(column.first + 1);
    xml += "<" + prefix + "col min=\"" + number + "\" max=\"" + number + "\" width=\"" + NumberText(width) +
           "\" customWidth=\"1\"/>";
  }
  return xml + "</" + prefix + "cols>";
}

// Styles kept from the sheet's earlier data.
struct KeptStyles {
  std::map<std::pair<RW, COL>, std::string> cells;               // the cell's "s"
  std::map<RW, std::vector<std::pair<std::string, std::string>>> rows;  // a row's attributes but "r", "spans"
};

class Updater {
 public:
  Updater(const std::string& path) : m_path(path) {}
  bool Run(const sheethost::Workbook& book, const std::vector<std::wstring>& sheets, const Properties& properties,
           const std::vector<std::wstring>& hidden);
  const std::string& Error() const { return m_error; }

 private:
  bool Fail(const std::string& problem) {
    m_error = m_path + ": " + problem;
    return false;
  }
  bool SheetData(const Sheet& sheet, const KeptStyles& kept, const std::string& prefix, int headingStyle,
                 std::string* xml, std::string* extent);
  bool ReplaceData(const std::string& part, const Sheet& sheet);
  std::string NewSheet(const Sheet& sheet, int headingStyle, bool* ok);
  int BoldStyle();
  bool SetProperties(const Properties& properties);
  bool SetMirror(const Properties& properties);
  void AddOverride(const std::string& part, const std::string& type);
  void RemoveOverride(const std::string& part);

  std::string m_path;
  std::string m_error;
  Package m_package;
  pugi::xml_document m_types;
  bool m_typesChanged = false;
};

bool Updater::SheetData(const Sheet& sheet, const KeptStyles& kept, const std::string& p, int headingStyle,
                        std::string* xml, std::string* extent) {
  RW rowNumber = -1;
  COL first = kXlColumns, last = 0;
  RW firstRow = -1, lastRow = 0;
  std::string utf8;
  for (const auto& entry : sheet.Cells()) {
    RW r = entry.first.first;
    COL c = entry.first.second;
    const Cell& cell = entry.second;
    if (cell.IsEmpty()) continue;
    if (r != rowNumber) {
      if (rowNumber >= 0) *xml += "</" + p + "row>";
      *xml += "<" + p + "row r=\"" + std::to_string(static_cast<int64_t>(r) + 1) + "\"";
      auto attributes = kept.rows.find(r);
      if (attributes != kept.rows.end()) {
        for (const auto& a : attributes->second) {
          *xml += " " + a.first + "=\"";
          AppendEscaped(a.second, xml);
          *xml += "\"";
        }
      }
      *xml += ">";
      rowNumber = r;
    }
    if (firstRow < 0) firstRow = r;
    lastRow = r;
    first = std::min(first, c);
    last = std::max(last, c);
    *xml += "<" + p + "c r=\"" + CellName(r, c) + "\"";
    auto style = kept.cells.find(entry.first);
    if (style != kept.cells.end()) {
      *xml += " s=\"" + style->second + "\"";
    } else if (r == 0 && headingStyle > 0) {
      *xml += " s=\"" + std::to_string(headingStyle) + "\"";
    }
    switch (cell.kind) {
      case CellKind::Number:
        *xml += "><" + p + "v>" + NumberText(cell.number) + "</" + p + "v>";
        break;
      case CellKind::Text: {
        if (!EncodeText(cell.text, XmlPlace::Element, &utf8)) {
          return Fail("sheet \"" + ToUtf8(sheet.Name()) + "\", cell " + CellName(r, c) +
                      ": the text holds a value that is not a character");
        }
        bool blanks = !cell.text.empty() && (IsBlank(cell.text.front()) || IsBlank(cell.text.back()));
        *xml += " t=\"inlineStr\"><" + p + "is><" + p + "t" + (blanks ? " xml:space=\"preserve\">" : ">");
        AppendEscaped(utf8, xml);
        *xml += "</" + p + "t></" + p + "is>";
        break;
      }
      case CellKind::Boolean:
        *xml += " t=\"b\"><" + p + "v>" + (cell.boolean ? "1" : "0") + "</" + p + "v>";
        break;
      case CellKind::Error: {
        const char* name = ErrorName(cell.error);
        if (!name) return Fail("sheet \"" + ToUtf8(sheet.Name()) + "\", cell " + CellName(r, c) + ": unknown error code");
        *xml += " t=\"e\"><" + p + "v>" + name + "</" + p + "v>";
        break;
      }
      case CellKind::Empty:
        break;
    }
    *xml += "</" + p + "c>";
  }
  if (rowNumber >= 0) *xml += "</" + p + "row>";
  *extent = firstRow < 0 ? "A1" : CellName(firstRow, first) + ":" + CellName(lastRow, last);
  return true;
}

bool Updater::ReplaceData(const std::string& part, const Sheet& sheet) {
  pugi::xml_document doc;
  if (!m_package.Parse(part, &doc, &m_error)) return Fail(m_error);
  pugi::xml_node root = doc.document_element();
  pugi::xml_node data = Child(root, "sheetData");
  if (!data) return Fail(part + ": a worksheet without sheetData");
  KeptStyles kept;
  for (pugi::xml_node row : data.children()) {
    if (!Is(row, "row")) continue;
    RW r = -1;
    if (!ParseRowNumber(row.attribute("r").value(), &r)) continue;
    for (pugi::xml_attribute a : row.attributes()) {
      if (std::strcmp(a.name(), "r") != 0 && std::strcmp(a.name(), "spans") != 0) {
        kept.rows[r].emplace_back(a.name(), a.value());
      }
    }
    for (pugi::xml_node c : row.children()) {
      RW cr;
      COL cc;
      if (Is(c, "c") && c.attribute("s") && ParseCellName(c.attribute("r").value(), &cr, &cc)) {
        kept.cells[{cr, cc}] = c.attribute("s").value();
      }
    }
  }
  std::string prefix = PrefixOf(root), cells, extent;
  if (!SheetData(sheet, kept, prefix, 0, &cells, &extent)) return false;
  while (data.first_child()) data.remove_child(data.first_child());
  data.append_child(pugi::node_comment).set_value("vorkab-sheet-data");
  if (pugi::xml_node dimension = Child(root, "dimension")) dimension.attribute("ref").set_value(extent.c_str());
  std::string xml = Serialize(doc);
  size_t mark = xml.find(kDataMark);
  xml.replace(mark, std::strlen(kDataMark), cells);
  m_package.Put(part, std::move(xml));
  return true;
}

std::string Updater::NewSheet(const Sheet& sheet, int headingStyle, bool* ok) {
  std::string cells, extent;
  *ok = SheetData(sheet, KeptStyles(), "", headingStyle, &cells, &extent);
  return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>") +
         "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
         "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
         "<dimension ref=\"" + extent + "\"/>"
         "<sheetViews><sheetView workbookViewId=\"0\"><pane ySplit=\"1\" topLeftCell=\"A2\" "
         "activePane=\"bottomLeft\" state=\"frozen\"/><selection pane=\"bottomLeft\" activeCell=\"A2\" "
         "sqref=\"A2\"/></sheetView></sheetViews><sheetFormatPr defaultRowHeight=\"15\"/>" +
         ColumnsElement(sheet, "") + "<sheetData>" + cells + "</sheetData></worksheet>";
}

// A cell format with a bold font, added to the styles part; its index, or 0
// when the styles part cannot take one.
int Updater::BoldStyle() {
  std::string stylesPart;
  {
    Relationships rels;
    std::string workbookPart = "xl/workbook.xml";
    if (m_package.Parse("_rels/.rels", &rels.doc, &m_error)) {
      std::string found = rels.TargetOf("", "officeDocument");
      if (!found.empty()) workbookPart = found;
    }
    Relationships wrels;
    if (m_package.Has(RelationshipsPart(workbookPart)) &&
        m_package.Parse(RelationshipsPart(workbookPart), &wrels.doc, &m_error)) {
      stylesPart = wrels.TargetOf(workbookPart, "styles");
    }
  }
  if (stylesPart.empty() || !m_package.Has(stylesPart)) return 0;
  pugi::xml_document doc;
  if (!m_package.Parse(stylesPart, &doc, &m_error)) return 0;
  pugi::xml_node root = doc.document_element();
  std::string p = PrefixOf(root);
  pugi::xml_node fonts = Child(root, "fonts"), xfs = Child(root, "cellXfs");
  if (!fonts || !xfs) return 0;
  int fontId = 0, xfId = 0;
  for (pugi::xml_node f : fonts.children()) fontId += Is(f, "font");
  for (pugi::xml_node x : xfs.children()) xfId += Is(x, "xf");
  pugi::xml_node font = fonts.append_child((p + "font").c_str());
  font.append_child((p + "b").c_str());
  font.append_child((p + "sz").c_str()).append_attribute("val") = "11";
  font.append_child((p + "name").c_str()).append_attribute("val") = "Calibri";
  SetCount(fonts, fontId + 1);
  pugi::xml_node xf = xfs.append_child((p + "xf").c_str());
  xf.append_attribute("numFmtId") = "0";
  xf.append_attribute("fontId") = fontId;
  xf.append_attribute("fillId") = "0";
  xf.append_attribute("borderId") = "0";
  xf.append_attribute("xfId") = "0";
  xf.append_attribute("applyFont") = "1";
  SetCount(xfs, xfId + 1);
  m_package.Put(stylesPart, Serialize(doc));
  return xfId;
}

void Updater::AddOverride(const std::string& part, const std::string& type) {
  pugi::xml_node root = m_types.document_element();
  pugi::xml_node o = root.append_child((PrefixOf(root) + "Override").c_str());
  o.append_attribute("PartName") = ("/" + part).c_str();
  o.append_attribute("ContentType") = type.c_str();
  m_typesChanged = true;
}

void Updater::RemoveOverride(const std::string& part) {
  pugi::xml_node root = m_types.document_element();
  for (pugi::xml_node o = root.first_child(); o;) {
    pugi::xml_node next = o.next_sibling();
    if (Is(o, "Override") && strcasecmp(o.attribute("PartName").value(), ("/" + part).c_str()) == 0) {
      root.remove_child(o);
      m_typesChanged = true;
    }
    o = next;
  }
}

bool Updater::SetProperties(const Properties& properties) {
  Relationships rels;
  if (!m_package.Parse("_rels/.rels", &rels.doc, &m_error)) return Fail(m_error);
  std::string part = rels.TargetOf("", "custom-properties");
  pugi::xml_document doc;
  if (part.empty() || !m_package.Has(part)) {
    part = "docProps/custom.xml";
    if (!m_package.Has(part)) {
      rels.Add("custom-properties", part);
      m_package.Put("_rels/.rels", Serialize(rels.doc));
      AddOverride(part, kCustomType);
    }
    pugi::xml_node root = doc.append_child("Properties");
    root.append_attribute("xmlns") = kCustomNamespace;
    root.append_attribute("xmlns:vt") = kVariantNamespace;
  } else if (!m_package.Parse(part, &doc, &m_error)) {
    return Fail(m_error);
  }
  pugi::xml_node root = doc.document_element();
  std::string p = PrefixOf(root);
  int pid = 1;
  for (pugi::xml_node property = root.first_child(); property;) {
    pugi::xml_node next = property.next_sibling();
    if (Is(property, "property")) {
      if (properties.count(property.attribute("name").value())) {
        root.remove_child(property);
      } else {
        pid = std::max(pid, property.attribute("pid").as_int());
      }
    }
    property = next;
  }
  for (const auto& entry : properties) {
    pugi::xml_node property = root.append_child((p + "property").c_str());
    property.append_attribute("fmtid") = kPropertyFormat;
    property.append_attribute("pid") = ++pid;
    property.append_attribute("name") = entry.first.c_str();
    property.append_child("vt:lpwstr").text().set(entry.second.c_str());
  }
  if (!root.attribute("xmlns:vt")) root.append_attribute("xmlns:vt") = kVariantNamespace;
  m_package.Put(part, Serialize(doc));
  return SetMirror(properties);
}

bool Updater::SetMirror(const Properties& properties) {
  Relationships rels;
  if (!m_package.Parse("_rels/.rels", &rels.doc, &m_error)) return Fail(m_error);
  std::string part = rels.TargetOf("", "core-properties");
  pugi::xml_document doc;
  if (part.empty() || !m_package.Has(part)) {
    part = "docProps/core.xml";
    if (m_package.Has(part)) return true;  // a core part nothing points at: leave it
    pugi::xml_node r = rels.Root().append_child((PrefixOf(rels.Root()) + "Relationship").c_str());
    std::string id = "rIdCore";
    r.append_attribute("Id") = id.c_str();
    r.append_attribute("Type") = "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties";
    r.append_attribute("Target") = part.c_str();
    m_package.Put("_rels/.rels", Serialize(rels.doc));
    AddOverride(part, kCoreType);
    pugi::xml_node root = doc.append_child("cp:coreProperties");
    root.append_attribute("xmlns:cp") = kCoreNamespace;
    root.append_attribute("xmlns:dc") = kDcNamespace;
  } else if (!m_package.Parse(part, &doc, &m_error)) {
    return Fail(m_error);
  }
  pugi::xml_node root = doc.document_element();
  std::string dc = PrefixFor(root, kDcNamespace);
  if (dc.empty()) {
    dc = "dc:";
    root.append_attribute("xmlns:dc") = kDcNamespace;
  }
  pugi::xml_node identifier = Child(root, "identifier");  // only Dublin Core has one there
  if (!identifier) identifier = root.append_child((dc + "identifier").c_str());
  identifier.text().set(MirrorText(properties).c_str());
  m_package.Put(part, Serialize(doc));
  return true;
}

bool Updater::Run(const sheethost::Workbook& book, const std::vector<std::wstring>& sheets,
                  const Properties& properties, const std::vector<std::wstring>& hidden) {
  struct stat st;
  if (stat(m_path.c_str(), &st) == 0) {
    if (!m_package.Load(m_path, &m_error)) return Fail(m_error);
  } else {
    m_package.Put("[Content_Types].xml", kSkeletonTypes);
    m_package.Put("_rels/.rels", kSkeletonRels);
    m_package.Put("xl/workbook.xml", kSkeletonWorkbook);
    m_package.Put("xl/_rels/workbook.xml.rels", kSkeletonWorkbookRels);
    m_package.Put("xl/styles.xml", kDefaultStyles);
  }
  if (!m_package.Has("[Content_Types].xml")) return Fail("no content types part");
  if (!m_package.Parse("[Content_Types].xml", &m_types, &m_error)) return Fail(m_error);

  Relationships packageRels;
  if (!m_package.Has("_rels/.rels") || !m_package.Parse("_rels/.rels", &packageRels.doc, &m_error)) {
    return Fail("no package relationships");
  }
  std::string workbookPart = packageRels.TargetOf("", "officeDocument");
  if (workbookPart.empty() || !m_package.Has(workbookPart)) return Fail("no workbook part");
  pugi::xml_document workbook;
  if (!m_package.Parse(workbookPart, &workbook, &m_error)) return Fail(m_error);
  Relationships workbookRels;
  workbookRels.part = RelationshipsPart(workbookPart);
  if (!m_package.Has(workbookRels.part) || !m_package.Parse(workbookRels.part, &workbookRels.doc, &m_error)) {
    return Fail("no workbook relationships");
  }
  pugi::xml_node sheetList = Child(workbook.document_element(), "sheets");
  if (!sheetList) return Fail(workbookPart + ": no sheet list");

  // The relationship namespace's prefix in the workbook part.
  std::string relPrefix;
  for (pugi::xml_attribute a : workbook.document_element().attributes()) {
    if (std::strncmp(a.name(), "xmlns:", 6) == 0 && std::strcmp(a.value(), kRelationshipsNamespace) == 0) {
      relPrefix = a.name() + 6;
    }
  }
  if (relPrefix.empty()) {
    relPrefix = "r";
    workbook.document_element().append_attribute("xmlns:r") = kRelationshipsNamespace;
  }

  std::map<std::wstring, std::string> parts;  // existing sheets
  int maxSheetId = 0;
  for (pugi::xml_node entry : sheetList.children()) {
    if (!Is(entry, "sheet")) continue;
    maxSheetId = std::max(maxSheetId, entry.attribute("sheetId").as_int());
    std::wstring name;
    if (!DecodeText(entry.attribute("name").value(), &name)) continue;
    std::string id = entry.attribute((relPrefix + ":id").c_str()).value();
    for (pugi::xml_node r : workbookRels.Root().children()) {
      if (id == r.attribute("Id").value()) parts[name] = ResolveTarget(workbookPart, r.attribute("Target").value());
    }
  }

  bool workbookChanged = false, replacedAny = false;
  int headingStyle = -1;
  std::string folder = workbookPart.substr(0, workbookPart.rfind('/') + 1);
  for (const std::wstring& name : sheets) {
    const Sheet* sheet = book.FindSheet(name);
    if (!sheet) return Fail("no sheet \"" + ToUtf8(name) + "\" to write");
    auto existing = parts.begin();
    while (existing != parts.end() && !sheethost::SameSheetName(existing->first, name)) ++existing;
    if (existing != parts.end() && m_package.Has(existing->second)) {
      if (!ReplaceData(existing->second, *sheet)) return false;
      replacedAny = true;
      continue;
    }
    if (headingStyle < 0) headingStyle = BoldStyle();
    int n = 1;
    while (m_package.Has(folder + "worksheets/sheet" + std::to_string(n) + ".xml")) ++n;
    std::string target = "worksheets/sheet" + std::to_string(n) + ".xml";
    bool ok = false;
    std::string xml = NewSheet(*sheet, headingStyle, &ok);
    if (!ok) return false;
    m_package.Put(folder + target, std::move(xml));
    AddOverride(folder + target, std::string(kSpreadsheetType) + "worksheet+xml");
    std::string id = workbookRels.Add("worksheet", target);
    std::string encoded;
    if (!EncodeText(name, XmlPlace::Attribute, &encoded)) return Fail("a sheet name that is not text");
    pugi::xml_node entry = sheetList.append_child((PrefixOf(sheetList) + "sheet").c_str());
    entry.append_attribute("name") = encoded.c_str();
    entry.append_attribute("sheetId") = ++maxSheetId;
    entry.append_attribute((relPrefix + ":id").c_str()) = id.c_str();
    for (const std::wstring& h : hidden) {
      if (sheethost::SameSheetName(h, name)) {
        entry.insert_attribute_before("state", entry.attribute((relPrefix + ":id").c_str())) = "hidden";
      }
    }
    workbookChanged = true;
  }
  if (replacedAny) {
    // Formulas of the replaced sheets are gone: the calculation chain would name them.
    std::string chain = workbookRels.TargetOf(workbookPart, "calcChain");
    if (!chain.empty()) {
      m_package.Drop(chain);
      RemoveOverride(chain);
      workbookRels.RemoveType("/calcChain");
      workbookChanged = true;
    }
  }
  if (workbookChanged) {
    m_package.Put(workbookPart, Serialize(workbook));
    m_package.Put(workbookRels.part, Serialize(workbookRels.doc));
  }
  if (!properties.empty() && !SetProperties(properties)) return false;
  if (m_typesChanged) m_package.Put("[Content_Types].xml", Serialize(m_types));
  std::string archive;
  if (!m_package.Finish(&archive, &m_error) || !ReplaceFile(m_path, archive, &m_error)) {
    return Fail("cannot save: " + m_error);
  }
  return true;
}

}  // namespace

bool ReadProperties(const std::string& path, Properties* properties, std::string* error) {
  properties->clear();
  PackageReader reader;
  std::string problem, bytes;
  if (!reader.Open(path, &problem)) {
    *error = path + ": " + problem;
    return false;
  }
  pugi::xml_document rels;
  if (!reader.Has("_rels/.rels") || !reader.Read("_rels/.rels", &bytes, &problem) ||
      !rels.load_buffer(bytes.data(), bytes.size())) {
    return true;  // no package relationships: no properties
  }
  std::string part, core;
  for (pugi::xml_node r : rels.document_element().children()) {
    std::string type = r.attribute("Type").value();
    if (type.size() > 18 && type.compare(type.size() - 18, 18, "/custom-properties") == 0) {
      part = ResolveTarget("", r.attribute("Target").value());
    }
    if (type.size() > 16 && type.compare(type.size() - 16, 16, "/core-properties") == 0) {
      core = ResolveTarget("", r.attribute("Target").value());
    }
  }
  // The mirror in the core properties fills in what the custom part lacks.
  Properties mirrored;
  pugi::xml_document coreDoc;
  if (!core.empty() && reader.Has(core) && reader.Read(core, &bytes, &problem) &&
      coreDoc.load_buffer(bytes.data(), bytes.size())) {
    pugi::xml_node root = coreDoc.document_element();
    pugi::xml_node identifier = Child(root, "identifier");
    if (identifier) ReadMirror(identifier.text().get(), &mirrored);  // only Dublin Core has one there
  }
  pugi::xml_document doc;
  if (part.empty() || !reader.Has(part)) {
    *properties = mirrored;
    return true;
  }
  if (!reader.Read(part, &bytes, &problem) || !doc.load_buffer(bytes.data(), bytes.size())) {
    *error = path + ": " + part + ": cannot read the document properties";
    return false;
  }
  for (pugi::xml_node property : doc.document_element().children()) {
    if (!Is(property, "property")) continue;
    for (pugi::xml_node value : property.children()) {
      if (value.type() == pugi::node_element) (*properties)[property.attribute("name").value()] = value.text().get();
    }
  }
  properties->insert(mirrored.begin(), mirrored.end());
  return true;
}

bool UpdateXlsx(const std::string& path, const sheethost::Workbook& book, const std::vector<std::wstring>& sheets,
                const Properties& properties, std::string* error, const std::vector<std::wstring>& hidden) {
  Updater updater(path);
  if (updater.Run(book, sheets, properties, hidden)) return true;
  if (error) {
    *error = updater.Error();
    for (char& c : *error) {
      if (static_cast<unsigned char>(c) < 0x20) c = '?';
    }
  }
  return false;
}

}  // namespace xlsx
