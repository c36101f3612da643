#include "app/qt/FileDialogFilter.h"

namespace torvane {

QStringList NameFilters(std::string_view filter) {
  const QStringList parts =
      QString::fromUtf8(filter.data(), static_cast<qsizetype>(filter.size())).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
    for (QString& pattern : patterns) {
      pattern = pattern.trimmed();
      if (pattern == "*.*") pattern = "*";
    }
    QString description = parts[i].trimmed();
    // The description usually shows its patterns already: they are shown as
    // the dialog will use them.
    const qsizetype bracket = description.lastIndexOf('(');
    if (bracket > 0 && description.endsWith(')')) description = description.left(bracket).trimmed();
    filters << description + " (" + patterns.join(' ') + ")";
  }
  return filters;
}

}  // namespace torvane
