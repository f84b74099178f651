#pragma once
// The basic-component percentage plot: for one basic component, the percentage of its total
// bound in each species along a data set (at the measured points and at the points
// interpolated between them), one coloured curve per species, against the point number.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "ui/results/plotting/curve_frame.h"

namespace tarvolin {
struct Model;
}

namespace tarvolin::plotting {

inline constexpr const char* kPercentageXCaption = "Point No.";
inline constexpr const char* kPercentageYCaption = "Percent";
inline constexpr int kPercentageYCaptionDx = -5;  // sideCaptionAt
inline constexpr const char* kPercentageFlatMessage = "Impossible to plot the data: Xmin = Xmax";

// The basic components offered in the chooser, in increasing order: those no species carries
// with a negative coefficient (a percentage distribution of, say, a proton that hydroxo
// species carry with -1 means nothing). The percentage file holds one block of NS columns
// per offered component, in this order.
std::vector<int> offeredComponents(const Model& m);
// The chooser's items: the decimal numbers of the offered components.
std::vector<std::string> componentChooserItems(const std::vector<int>& offered);
// Use chooserPosition (data_sets.h) for the remembered component position: a position the
// list no longer holds falls back to the first component.

// Number (1-based, the abscissa being value 1) of the value in a file line that holds the
// percentage of the m-th offered component (0-based) in species j (1-based):
// 1 + NS m + j.
int speciesValueNumber(int NS, int m, int j);
// Values a line must hold for the m-th offered component to be drawn: 1 + NS (m + 1).
int valuesNeeded(int NS, int m);

// Colours of the species curves in the order they are drawn, repeating after the eighth.
inline constexpr std::array<Rgb, 8> kCurveColours = {0xFF0000, 0x0000FF, 0x008000, 0x000080,
                                                     0xFF00FF, 0x00FF00, 0xFF8000, 0x008080};
// Colour of the n-th drawn curve (0-based).
Rgb curveColour(int n);

// Label of the curve of species j for component k: "k" for the free component itself (j = k),
// "k in j" otherwise.
std::string speciesLabel(int k, int j);

std::string percentageCaption(const std::string& fileName);

// The file's lines as read: value 1 (the row counter, the first and last rows being the first
// and last measured points) and the values after it, in single precision.
struct PercentageData {
  std::string message;  // the information message; empty when the plot can be drawn
  std::vector<std::vector<float>> rows;
  Range x;  // of the abscissae; the percentage axis always runs from 0 to 100
};

// Reads the percentage file. Each line must hold at least `needed` numbers (valuesNeeded; 1
// when no component is offered); a line that holds fewer, or one that does not convert, is
// refused with a message naming it, as is a range of abscissae of 1E-12 or less (an empty file
// included: a data set of a single point).
PercentageData loadPercentageFile(const std::string& fileName, int needed, char separator);

// The frame: x origin Left + h, y from 0 to 100, its right side at Right - 2h.
CurveFrame percentageFrame(ClientRect client, const PercentageData& data);
std::array<Pixel, 4> percentageFrameCorners(const CurveFrame& frame);

// Horizontal ticks at the point numbers round((Np - 1) k / 4 + 1) of a data set of Np measured
// points, at pixel X0 + M + (number - 1) W / (Np - 1), labelled in three characters; eleven
// vertical ticks 0, 10, ... 100 labelled likewise, 6 pixels right of the client's left edge.
std::array<AxisTick, 5> percentageXTicks(const CurveFrame& frame, int Np, char separator);
std::array<AxisTick, 11> percentageYTicks(const CurveFrame& frame, char separator);

struct PercentageCurve {
  int species = 0;  // j
  Rgb colour = 0;
  std::string label;
  // (round(px), round(py)) of each line in file order: a polyline, or single pixels when only
  // points are drawn.
  std::vector<Pixel> points;
  // Top-left corners of the label (8-point black on white) after the last point (3 pixels
  // further left for the "k in j" form) and at the left edge of the data area.
  Pixel labelAtEnd;
  Pixel labelAtStart;
};

// The curves of component k (the m-th offered one) over NS species, in species order; a
// species without any percentage above 0 gets no curve and takes no colour.
std::vector<PercentageCurve> percentageCurves(const PercentageData& data, const CurveFrame& frame,
                                              int NS, int k, int m);

// Status read-out "Experimental Point = ...;  PC = ..."; nothing without a data area.
std::optional<std::string> percentageReadout(const CurveFrame& frame, int Np, int mx, int my,
                                             char separator);

}  // namespace tarvolin::plotting
