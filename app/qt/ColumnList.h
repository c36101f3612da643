#pragma once
// The four column lists of the dialog. Once the point file has a header
// row, their entries read "A - station", "B - latitude"; the list itself
// keeps the seed's narrow box and shows the letter of its choice, while the
// open list is as wide as its entries.

#include <QComboBox>

namespace torvane {

class ColumnList : public QComboBox {
 public:
  using QComboBox::QComboBox;
  void showPopup() override;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace torvane
