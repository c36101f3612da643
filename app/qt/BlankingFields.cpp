#include "app/qt/BlankingFields.h"

#include <cmath>
#include <limits>

#include "common/DecimalNumber.h"

namespace torvane {

BlankingFields MakeBlankingFields(QWidget* parent, const QString& prefix,
                                  const RingBlanking& blanking) {
  BlankingFields fields{new QSpinBox(parent), new QLineEdit(parent)};
  fields.min_points->setObjectName(prefix + "_min_points");
  fields.min_points->setRange(0, 1000000);
  fields.min_points->setSpecialValueText("no limit");
  fields.min_points->setValue(blanking.min_points);
  fields.min_points->setToolTip("A station with fewer ring values gets no residual");
  fields.max_gap->setObjectName(prefix + "_max_gap");
  fields.max_gap->setPlaceholderText("no limit");
  fields.max_gap->setToolTip("A station whose ring leaves a wider empty angle gets no residual");
  if (std::isfinite(blanking.max_gap)) fields.max_gap->setText(QString::number(blanking.max_gap));
  return fields;
}

bool ReadBlankingFields(const BlankingFields& fields, RingBlanking& blanking) {
  blanking.min_points = fields.min_points->value();
  blanking.max_gap = std::numeric_limits<double>::infinity();
  const std::string gap = fields.max_gap->text().trimmed().toStdString();
  return gap.empty() || (ParseDecimal(gap, '.', blanking.max_gap) && blanking.max_gap >= 0);
}

}  // namespace torvane
