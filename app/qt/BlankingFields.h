#pragma once
// The two blanking rules as the survey options and the sweep dialog show
// them: the least ring points (a spin box, 0 "no limit") and the widest gap
// in degrees (a field, empty "no limit").

#include <QLineEdit>
#include <QSpinBox>

#include "residual/RingQuality.h"

namespace torvane {

struct BlankingFields {
  QSpinBox* min_points;
  QLineEdit* max_gap;
};

// Named `prefix`_min_points and `prefix`_max_gap, showing `blanking`.
BlankingFields MakeBlankingFields(QWidget* parent, const QString& prefix,
                                  const RingBlanking& blanking);

// The rules the fields hold; false when the gap is no number >= 0.
bool ReadBlankingFields(const BlankingFields& fields, RingBlanking& blanking);

}  // namespace torvane
