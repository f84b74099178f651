#pragma once
// What the result windows need to know of each calculated system behind a report: its data
// sets, the points of each, its species and the basic components whose percentages can be
// drawn. After a run the last system comes from the model; the others, and every system of a
// report opened from disk, come from the report's own tables and the plot files beside it,
// because the model in memory holds only the last system read (or another one, or none yet),
// and a report must be shown with its own data.

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

// What a report says of each calculated system it was written for, in order (a report of
// several systems has a "Calculated System:" heading before each): the number of its blocks,
// one data-table section ("TABLE 1:") each, 0 when the report has no data tables; the offered
// components and the species from the column headings of the system's percentage table
// ("TABLE 3": "%Cb( k) in:" for each offered component, then "C( j)" for each species; none when
// no component is offered). A report without any system heading is one system.
struct ReportTables {
  int blocks = 0;
  int NS = 0;
  std::vector<int> offered;
};
std::vector<ReportTables> parseReportSystems(std::string_view reportText);

// The count on the first line of a curve file (the points of its data set); 0 when the file
// cannot be read or the count is not a number of points a data set can hold.
int curveFilePoints(const std::string& fileName);

// The systems of a report on disk, in order: blocks, species and components from its tables,
// the points of each data set from the data set's curve file (ECP). When a report of one
// system has no data tables, its data sets are those whose residual files (GAR) exist,
// numbered on from 1. A report that cannot be read gives one system without data sets.
std::vector<ResultSystem> resultSystemsOfReport(const std::string& reportName);

// The systems behind the report of a run just ended: the last from the model, which holds it
// still, the ones before from the report.
std::vector<ResultSystem> resultSystemsOfRun(const Model& m, const std::string& reportName);

}  // namespace tarvolin::plotting
