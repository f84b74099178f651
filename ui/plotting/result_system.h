#pragma once
// What the result windows need to know of the system behind a report: its data sets, the
// points of each, its species and the basic components whose percentages can be drawn. After
// a run this comes from the model; for a report opened from disk it comes from the report's
// own species table and the plot files beside it, because the model in memory may belong to
// another system (or to none yet), and a report must be shown with its own data.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvolin {
struct Model;
}

namespace tarvolin::plotting {

struct ResultSystem {
  int dataSets = 0;
  int NS = 0;
  std::vector<int> offered;  // offeredComponents, in increasing order
  std::vector<int> points;   // experimental points of data set s at [s - 1]
  // Points of the data set with this 0-based index; 0 when not known.
  int pointsOf(int dataSetIndex) const;
};

ResultSystem resultSystemOf(const Model& m);

// After a run the curve and percentage windows open when the last block is a titration, or
// batch data whose totals run one way (MonotonicData), where a curve along the point numbers
// means something; the residual window opens after every run.
bool curveWindowsWanted(const Model& m);

// What a report itself says of the system it was written for (the last calculated system when
// it holds several): the number of blocks from its species table ("All Parameter(s) for
// Equilibrium:", one additive value per block after lgBETA; 0 when the report has no such
// table, as after a gradient Single Step), and the offered components and the species from the
// column headings of its percentage table ("TABLE 3": "%Cb( k) in:" for each offered component,
// then "C( j)" for each species; none when no component is offered).
struct ReportTables {
  int blocks = 0;
  int NS = 0;
  std::vector<int> offered;
};
ReportTables parseReportTables(std::string_view reportText);

// The count on the first line of a curve file (the points of its data set); 0 when the file
// cannot be read or the count is not a number of points a data set can hold.
int curveFilePoints(const std::string& fileName);

// The system of a report on disk: blocks, species and components from its tables, the points
// of each data set from the data set's curve file (ECP). When the report does not give the
// number of blocks, the data sets are those whose residual files (GAR) exist, numbered on
// from 1.
ResultSystem resultSystemOfReport(const std::string& reportName);

}  // namespace tarvolin::plotting
