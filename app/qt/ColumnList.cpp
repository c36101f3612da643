#include "app/qt/ColumnList.h"

#include <QAbstractItemView>
#include <QStyleOptionComboBox>
#include <QStylePainter>

namespace torvane {

void ColumnList::showPopup() {
  int widest = width();
  for (int i = 0; i < count(); ++i) {
    widest = std::max(widest, fontMetrics().horizontalAdvance(itemText(i)) + 32);
  }
  view()->setMinimumWidth(widest);
  QComboBox::showPopup();
}

void ColumnList::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionComboBox option;
  initStyleOption(&option);
  option.currentText = option.currentText.section(" - ", 0, 0);  // the letter
  painter.drawComplexControl(QStyle::CC_ComboBox, option);
  painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

}  // namespace torvane
