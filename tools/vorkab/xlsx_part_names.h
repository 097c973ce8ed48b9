// Part names of a workbook package: where a relationship leads and where a
// part's relationships are kept.
#pragma once

#include <string>

namespace xlsx {

// The part a relationship target names (percent escapes decoded), relative
// to the part that holds the relationship; empty when it leads out of the
// package.
std::string ResolveTarget(const std::string& source, const std::string& target);

// "xl/_rels/workbook.xml.rels" for "xl/workbook.xml"; "_rels/.rels" for the
// package ("").
std::string RelationshipsPart(const std::string& source);

}  // namespace xlsx
