#include "app/cli/SkippedRowsNote.h"

#include <string>

#include "app/cli/CliMessages.h"

namespace torvane {

void PrintSkippedRows(const SkippedRows& skipped, std::string_view path) {
  const std::string warning = CommaDecimalsText(skipped, path, "--decimal-separator ,");
  if (!warning.empty()) PrintMessage("Warning", warning);
  const std::string rows = SkippedRowsText(skipped);
  if (!rows.empty()) PrintNote(std::string(path) + ": " + rows);
}

}  // namespace torvane
