#include "ui/results/plotting/data_sets.h"

#include "run/plot_files.h"

namespace tarvolin::plotting {

DataSetChoice dataSetChoice(int dataSets, int rememberedIndex) {
  DataSetChoice choice;
  choice.shown = dataSets >= 2;
  const int items = choice.shown ? dataSets : 1;
  for (int s = 1; s <= items; ++s) choice.items.push_back(std::to_string(s));
  choice.selected = chooserPosition(rememberedIndex, choice.items.size());
  return choice;
}

int chooserPosition(int remembered, std::size_t items) {
  return remembered >= 0 && static_cast<std::size_t>(remembered) < items ? remembered : 0;
}

std::string dataSetFileName(const std::string& outputName, int dataSetIndex, const char* extension,
                            int systemIndex) {
  return blockFileName(systemFileBase(blockFileBase(outputName), systemIndex + 1), dataSetIndex + 1,
                       extension);
}

std::string percentageFileName(const std::string& outputName, int dataSetIndex, int systemIndex) {
  return tarvolin::percentageFileName(systemFileBase(blockFileBase(outputName), systemIndex + 1),
                                      dataSetIndex + 1);
}

}  // namespace tarvolin::plotting
