#pragma once
// The data-set chooser of the result windows and the names of the plot files they read.

#include <cstddef>
#include <string>
#include <vector>

namespace tarvolin::plotting {

// The chooser's items and which one is selected. With fewer than two data sets the chooser
// holds the single item "1" and is hidden together with its label (a title takes its place);
// otherwise it shows "1" ... "n".
struct DataSetChoice {
  std::vector<std::string> items;
  bool shown = false;
  int selected = 0;  // 0-based item index; the data set is selected + 1
};

// The chooser for the number of data sets of the last run with the window's remembered index
// selected. A remembered index that the list no longer holds (the window stayed open while a
// run on a system with fewer data sets replaced the files) falls back to the first data set,
// so that no file left over from an earlier run is shown as a result of this one.
DataSetChoice dataSetChoice(int dataSets, int rememberedIndex);

// The remembered position when the chooser holds it, otherwise the first item.
int chooserPosition(int remembered, std::size_t items);

// The plot file of one data set: the run's output-file name without its extension, for the
// second and every later calculated system "S", its number and "_", then the data set's number
// (index + 1) and the extension: run.OUT, 0, ".REG" gives run1.REG; with system index 1,
// runS2_1.REG.
std::string dataSetFileName(const std::string& outputName, int dataSetIndex, const char* extension,
                            int systemIndex = 0);
// The basic-component percentage file: run.OUT, 0 gives runBC1.BCP (runS2_BC1.BCP for system
// index 1).
std::string percentageFileName(const std::string& outputName, int dataSetIndex,
                               int systemIndex = 0);

}  // namespace tarvolin::plotting
