// Updating a workbook file in place of rewriting it: a load replaces the cell
// data of the sheets it owns and leaves every other part of the package (the
// user's own sheets, other kinds' sheets, styles, comments, defined names,
// drawings) exactly as it was.  The tool's document properties (where the
// workbook was loaded from) travel in the package's custom properties.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "sheethost/workbook.h"

namespace xlsx {

// Custom document properties by name, UTF-8 texts.
using Properties = std::map<std::string, std::string>;

// The text properties of the file's custom properties part; without one,
// those kept in the core properties' identifier (UpdateXlsx mirrors them
// there for programs that drop custom properties); none when neither holds
// any.  False with the reason (naming the file).
bool ReadProperties(const std::string& path, Properties* properties, std::string* error);

// Writes the named sheets of book into the workbook file at path and sets the
// given properties (others are kept), mirrored into the core properties'
// identifier (dc:identifier).  An existing file keeps every other
// part byte for byte; a named sheet it holds keeps its part with its column
// widths, views, and the styles of the cells and rows that hold data again,
// and gets the book's cells as its data (formulas there become values, so a
// calculation chain is dropped).  A named sheet the file lacks (and every
// sheet of a new file) is added at the end with a bold, frozen heading row
// and column widths that fit.  The file is replaced as a whole (see
// xlsx_file_replace.h); on failure it is as it was.
// A named sheet the file lacks that hidden names is added hidden.
// REQUIRES: every named sheet exists in book.
bool UpdateXlsx(const std::string& path, const sheethost::Workbook& book, const std::vector<std::wstring>& sheets,
                const Properties& properties, std::string* error, const std::vector<std::wstring>& hidden = {});

}  // namespace xlsx
