// The attribute-text (ALOB) cell that ends every company and facility row:
// its lines joined by line feeds.  What such a cell can carry into a record
// and back: at most AlobCellMax characters, every line at most MaxAlobLine
// characters with an ISO 8859-1 form and no control character but the line
// feed that ends it.  A carriage return in particular would be dropped by
// the server's line reading.
#pragma once

#include <cstddef>
#include <cstdint>

#include "records/alob.h"

// The longest attribute text a cell holds.
constexpr size_t AlobCellMax = 32765;
// Cell readers of the ALOB column take one character more than a spreadsheet
// cell holds, so that nothing is cut before the length is checked.
constexpr int32_t AlobCellReadSize = 32768;

// REQUIRES: message holds messageSize >= 1 characters.
// False when text can be stored; otherwise true with the fault's message
// ("To long string for ALOB. Max is 32765", or the line's fault with the
// label "ALOB line 3").
bool AlobCellFault(const wchar_t* text, wchar_t* message, size_t messageSize);

// The text of alob (null: none) for the cell, or null with ErrorText set
// ("Attribute text of <kind> <name> is longer than 32765 characters, which a
// cell cannot hold") when it does not fit.
const wchar_t* AlobCellText(const Alob* alob, const char* kind, const wchar_t* name);
