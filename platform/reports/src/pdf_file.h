#pragma once
// Internal: a PDF file written whole or not at all.
#include <QPdfWriter>

#include <filesystem>
#include <functional>
#include <string>

namespace reports {

// Writes the PDF that `paint` draws into `file`: under a temporary name beside it, flushed to
// the disk and renamed to `file` only when every byte has been written. On any failure (no
// room on the disk, a folder that cannot be written or does not exist, a painter that cannot
// begin or end) the temporary file goes, an earlier file named `file` stays as it was, and
// errc::OutputFailed names `file` and the cause, for the report `reportFile`. `paint` gets
// the writer with the pages' layout and resolution set and a painter begun on it. The file
// takes the mode and group of `database`: no more people may read the figures on paper than there.
void writePdf(const std::filesystem::path& file, const std::filesystem::path& database, const std::string& reportFile,
              const QPageLayout& layout, const std::string& title,
              const std::function<void(QPainter&, QPdfWriter&)>& paint);

}  // namespace reports
