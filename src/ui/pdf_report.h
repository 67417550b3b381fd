// The calculation report laid out on A4 pages with Qt's own PDF writer: a header with the working
// directory and date on every page, "page n of N" at the foot, tables broken across pages with
// their headings repeated, and the pictures drawn through the canvas the windows use.
#pragma once

#include <string>

#include "export/report.h"

// Writes r to `path` whole or not at all: the pages go to a temporary file beside it, renamed
// over it at the end. A place that cannot be written is "Cannot write file (path: why)", and
// leaves nothing there (an older file of that name stays as it was).
void write_pdf_report(const Report& r, const std::string& path);
