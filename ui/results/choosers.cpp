#include "ui/results/choosers.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>

namespace tarvolin::ui {

void showChoice(QComboBox* chooser, QLabel* label, const plotting::DataSetChoice& choice) {
  const QSignalBlocker blocker(chooser);
  chooser->clear();
  for (const std::string& item : choice.items) chooser->addItem(QString::fromStdString(item));
  chooser->setCurrentIndex(choice.selected);
  label->setVisible(choice.shown);
  chooser->setVisible(choice.shown);
}

}  // namespace tarvolin::ui
