// Saving the substitute host's workbook as a workbook file (see
// xlsx_file.h): one worksheet part per sheet, the texts in one shared-string
// table, a plain style sheet, all zipped in memory and then put in place of
// the target as a whole.
#include <pugixml.hpp>

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "xlsx_cell_text.h"
#include "xlsx_file.h"
#include "xlsx_file_replace.h"
#include "xlsx_package.h"
#include "xlsx_text.h"

namespace {

using sheethost::Cell;
using sheethost::CellKind;
using sheethost::Sheet;
using sheethost::Workbook;

const char kMainNamespace[] = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const char kRelationshipsNamespace[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const char kPackageRelationshipsNamespace[] = "http://schemas.openxmlformats.org/package/2006/relationships";
const char kContentTypesNamespace[] = "http://schemas.openxmlformats.org/package/2006/content-types";
const std::string kRelationshipType = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
const std::string kContentType = "application/vnd.openxmlformats-officedocument.spreadsheetml.";


struct StringWriter : pugi::xml_writer {
  std::string out;
  void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), size); }
};

std::string Serialize(pugi::xml_document& doc) {
  pugi::xml_node declaration = doc.prepend_child(pugi::node_declaration);
  declaration.append_attribute("version") = "1.0";
  declaration.append_attribute("encoding") = "UTF-8";
  declaration.append_attribute("standalone") = "yes";
  StringWriter writer;
  doc.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
  return std::move(writer.out);
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r'; }

void AddRelationship(pugi::xml_node parent, const std::string& id, const std::string& type, const std::string& target) {
  pugi::xml_node r = parent.append_child("Relationship");
  r.append_attribute("Id") = id.c_str();
  r.append_attribute("Type") = (kRelationshipType + type).c_str();
  r.append_attribute("Target") = target.c_str();
}

void AddOverride(pugi::xml_node types, const std::string& part, const std::string& type) {
  pugi::xml_node o = types.append_child("Override");
  o.append_attribute("PartName") = ("/" + part).c_str();
  o.append_attribute("ContentType") = (kContentType + type).c_str();
}

class Saver {
 public:
  explicit Saver(const std::string& path) : m_path(path) {}

  bool Build(const Workbook& book, xlsx::PackageWriter* package);
  const std::string& Error() const { return m_error; }

 private:
  bool Fail(const std::string& problem) {
    m_error = m_path + ": " + problem;
    for (char& c : m_error) {
      if (static_cast<unsigned char>(c) < 0x20) c = '?';  // one line
    }
    return false;
  }
  bool SheetPart(const Sheet& sheet, std::string* xml);
  std::string SharedStringsPart() const;
  // The text's index in the shared-string table; false when it cannot be encoded.
  bool SharedString(const std::wstring& text, size_t* index);

  std::string m_path;
  std::string m_error;
  std::unordered_map<std::wstring, size_t> m_stringIndex;
  struct SharedText {
    std::string utf8;
    bool preserveBlanks;  // leading or trailing blanks to keep
  };
  std::vector<SharedText> m_strings;  // in index order
  size_t m_stringUses = 0;
};

bool Saver::SharedString(const std::wstring& text, size_t* index) {
  auto found = m_stringIndex.find(text);
  if (found == m_stringIndex.end()) {
    SharedText shared;
    if (!xlsx::EncodeText(text, xlsx::XmlPlace::Element, &shared.utf8)) return false;
    shared.preserveBlanks = !text.empty() && (IsBlank(text.front()) || IsBlank(text.back()));
    found = m_stringIndex.emplace(text, m_strings.size()).first;
    m_strings.push_back(std::move(shared));
  }
  ++m_stringUses;
  *index = found->second;
  return true;
}

bool Saver::SheetPart(const Sheet& sheet, std::string* xml) {
  pugi::xml_document doc;
  pugi::xml_node root = doc.append_child("worksheet");
  root.append_attribute("xmlns") = kMainNamespace;
  root.append_attribute("xmlns:r") = kRelationshipsNamespace;

  const auto& cells = sheet.Cells();
  std::string extent = "A1";
  if (!cells.empty()) {
    COL first = kXlColumns, last = 0;
    for (const auto& cell : cells) {
      first = std::min(first, cell.first.second);
      last = std::max(last, cell.first.second);
    }
    extent = xlsx::CellName(cells.begin()->first.first, first) + ":" + xlsx::CellName(cells.rbegin()->first.first, last);
  }
  root.append_child("dimension").append_attribute("ref") = extent.c_str();

  pugi::xml_node data = root.append_child("sheetData");
  pugi::xml_node row;
  RW rowNumber = -1;
  for (const auto& entry : cells) {
    RW r = entry.first.first;
    COL c = entry.first.second;
    const Cell& cell = entry.second;
    if (cell.IsEmpty()) continue;
    if (r != rowNumber) {
      row = data.append_child("row");
      row.append_attribute("r") = std::to_string(static_cast<int64_t>(r) + 1).c_str();
      rowNumber = r;
    }
    pugi::xml_node node = row.append_child("c");
    node.append_attribute("r") = xlsx::CellName(r, c).c_str();
    std::string value;
    switch (cell.kind) {
      case CellKind::Number:
        value = xlsx::NumberText(cell.number);
        break;
      case CellKind::Text: {
        size_t index = 0;
        if (!SharedString(cell.text, &index)) {
          return Fail("sheet \"" + xlsx::ToUtf8(sheet.Name()) + "\", cell " + xlsx::CellName(r, c) +
                      ": the text holds a value that is not a character");
        }
        node.append_attribute("t") = "s";
        value = std::to_string(index);
        break;
      }
      case CellKind::Boolean:
        node.append_attribute("t") = "b";
        value = cell.boolean ? "1" : "0";
        break;
      case CellKind::Error: {
        const char* name = xlsx::ErrorName(cell.error);
        if (!name) {
          return Fail("sheet \"" + xlsx::ToUtf8(sheet.Name()) + "\", cell " + xlsx::CellName(r, c) +
                      ": unknown error code " + std::to_string(cell.error));
        }
        node.append_attribute("t") = "e";
        value = name;
        break;
      }
      case CellKind::Empty:
        break;
    }
    node.append_child("v").text().set(value.c_str());
  }
  *xml = Serialize(doc);
  return true;
}

std::string Saver::SharedStringsPart() const {
  pugi::xml_document doc;
  pugi::xml_node root = doc.append_child("sst");
  root.append_attribute("xmlns") = kMainNamespace;
  root.append_attribute("count") = std::to_string(m_stringUses).c_str();
  root.append_attribute("uniqueCount") = std::to_string(m_strings.size()).c_str();
  for (const SharedText& text : m_strings) {
    pugi::xml_node t = root.append_child("si").append_child("t");
    if (text.preserveBlanks) t.append_attribute("xml:space") = "preserve";
    t.text().set(text.utf8.c_str());
  }
  return Serialize(doc);
}

bool Saver::Build(const Workbook& book, xlsx::PackageWriter* package) {
  std::vector<Sheet*> sheets = book.Sheets();
  if (sheets.empty()) return Fail("the workbook has no sheet; a workbook file needs at least one");

  pugi::xml_document types;
  pugi::xml_node typesRoot = types.append_child("Types");
  typesRoot.append_attribute("xmlns") = kContentTypesNamespace;
  pugi::xml_node rels = typesRoot.append_child("Default");
  rels.append_attribute("Extension") = "rels";
  rels.append_attribute("ContentType") = "application/vnd.openxmlformats-package.relationships+xml";
  pugi::xml_node xmlType = typesRoot.append_child("Default");
  xmlType.append_attribute("Extension") = "xml";
  xmlType.append_attribute("ContentType") = "application/xml";
  AddOverride(typesRoot, "xl/workbook.xml", "sheet.main+xml");

  pugi::xml_document packageRels;
  pugi::xml_node packageRelsRoot = packageRels.append_child("Relationships");
  packageRelsRoot.append_attribute("xmlns") = kPackageRelationshipsNamespace;
  AddRelationship(packageRelsRoot, "rId1", "officeDocument", "xl/workbook.xml");

  pugi::xml_document workbook;
  pugi::xml_node workbookRoot = workbook.append_child("workbook");
  workbookRoot.append_attribute("xmlns") = kMainNamespace;
  workbookRoot.append_attribute("xmlns:r") = kRelationshipsNamespace;
  pugi::xml_node sheetList = workbookRoot.append_child("sheets");

  pugi::xml_document workbookRels;
  pugi::xml_node workbookRelsRoot = workbookRels.append_child("Relationships");
  workbookRelsRoot.append_attribute("xmlns") = kPackageRelationshipsNamespace;

  std::vector<std::pair<std::string, std::string>> sheetParts;
  for (size_t i = 0; i < sheets.size(); ++i) {
    std::string number = std::to_string(i + 1);
    std::string id = "rId" + number;
    std::string part = "worksheets/sheet" + number + ".xml";
    std::string name;
    if (!xlsx::EncodeText(sheets[i]->Name(), xlsx::XmlPlace::Attribute, &name)) {
      return Fail("sheet name \"" + xlsx::ToUtf8(sheets[i]->Name()) + "\" holds a value that is not a character");
    }
    pugi::xml_node entry = sheetList.append_child("sheet");
    entry.append_attribute("name") = name.c_str();
    entry.append_attribute("sheetId") = number.c_str();
    entry.append_attribute("r:id") = id.c_str();
    AddRelationship(workbookRelsRoot, id, "worksheet", part);
    AddOverride(typesRoot, "xl/" + part, "worksheet+xml");
    std::string xml;
    if (!SheetPart(*sheets[i], &xml)) return false;
    sheetParts.emplace_back("xl/" + part, std::move(xml));
  }
  AddRelationship(workbookRelsRoot, "rId" + std::to_string(sheets.size() + 1), "styles", "styles.xml");
  AddOverride(typesRoot, "xl/styles.xml", "styles+xml");
  if (!m_strings.empty()) {
    AddRelationship(workbookRelsRoot, "rId" + std::to_string(sheets.size() + 2), "sharedStrings", "sharedStrings.xml");
    AddOverride(typesRoot, "xl/sharedStrings.xml", "sharedStrings+xml");
  }

  package->Add("[Content_Types].xml", Serialize(types));
  package->Add("_rels/.rels", Serialize(packageRels));
  package->Add("xl/workbook.xml", Serialize(workbook));
  package->Add("xl/_rels/workbook.xml.rels", Serialize(workbookRels));
  package->Add("xl/styles.xml", xlsx::kDefaultStyles);
  if (!m_strings.empty()) package->Add("xl/sharedStrings.xml", SharedStringsPart());
  for (auto& part : sheetParts) package->Add(part.first, std::move(part.second));
  return true;
}

}  // namespace

bool SaveXlsx(const std::string& path, const Workbook& book, std::string* error) {
  Saver saver(path);
  xlsx::PackageWriter package;
  if (!saver.Build(book, &package)) {
    if (error) *error = saver.Error();
    return false;
  }
  std::string archive, problem;
  if (!package.Finish(&archive, &problem) || !xlsx::ReplaceFile(path, archive, &problem)) {
    if (error) *error = path + ": cannot save: " + problem;
    return false;
  }
  return true;
}
