#pragma once
// Reading maps back with tools independent of the code that drew them: PNG
// through GDAL, SVG through Python's XML parser, PDF through poppler's
// pdfinfo.

#include <string>

#include "tests/PictureDecoding.h"
#include "tests/TestFiles.h"

namespace torvane::testing {

// The PNG `path` decoded by GDAL (turned into a bitmap beside it).
DecodedPicture DecodePng(const TempDir& dir, const std::string& path);

// The root element's width and height attributes of the SVG `path`, as
// "WIDTHxHEIGHT", when it parses as XML; the parser's complaint otherwise.
std::string SvgSize(const TempDir& dir, const std::string& path);

// pdfinfo's "Pages:" and "Page size:" lines of `path`, or its complaint.
std::string PdfPages(const TempDir& dir, const std::string& path);

}  // namespace torvane::testing
