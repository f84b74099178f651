#pragma once
// What the result windows need from the main window: the status bar panels for the hover
// read-outs, the message boxes, and the report whose plot files they draw with the system
// behind it.

#include <QString>
#include <string>
#include <vector>

#include "base/platform.h"
#include "ui/results/plotting/result_system.h"

namespace tarvolin::ui {

class ResultWindowHost {
 public:
  virtual ~ResultWindowHost() = default;
  // Panel 1 names the point under the mouse, panel 3 gives the values under it.
  virtual void setStatusText(int panel, const QString& text) = 0;
  virtual MessageResult message(MessageKind kind, const QString& caption, const QString& text,
                                MessageButtons buttons) = 0;
};

// The report a result window draws: its plot files are named from `outputName` (run.OUT gives
// run1.GAR, runBC1.BCP, ..., and runS2_1.GAR for the second calculated system), read with
// `folder` as the current folder so that the names in captions and messages are the ones the
// run wrote. `systems` describes every calculated system of the report, in order.
struct ResultSource {
  QString folder;
  std::string outputName;
  std::vector<plotting::ResultSystem> systems;

  // The system with this 0-based index; one without data sets when the report has none such.
  const plotting::ResultSystem& system(int index) const {
    static const plotting::ResultSystem none;
    return index >= 0 && static_cast<std::size_t>(index) < systems.size() ? systems[index] : none;
  }
  int systemCount() const { return static_cast<int>(systems.size()); }
};

}  // namespace tarvolin::ui
