// The Yexp versus Ycalc window: its statistics, its REG file and its layout.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "tests/support/test_support.h"
#include "ui/results/plotting/regression_file.h"
#include "ui/results/plotting/regression_plot.h"
#include "ui/results/plotting/regression_statistics.h"
#include "ui/results/plotting/sorting.h"

namespace tarvolin::plotting {
namespace {

using test::ExpectClose;

// Four points worked by hand: x = Ycalc = 1 2 3 4, y = Yexp = 2 3 5 6.
// xbar = 2.5, ybar = 4, Sxx = 5, Syy = 10, Sxy = 7; b = 1.4, a = 0.5; fitted 1.9 3.3 4.7 6.1,
// residuals 0.1 -0.3 0.3 -0.1, SSE = 0.2, s = sqrt(0.1); R = 7 / sqrt(50), R^2 = 0.98,
// F = 0.98 * 2 / 0.02 = 98; sb = s / sqrt(5); sa = s sqrt(30 / 20); RMSE = s sqrt(2 / 4).
// Agreement: d = Ycalc - Yexp = -1 -1 -2 -2: MAE = 1.5, RMSEabs = sqrt(2.5), R2abs = 1 - 10/5.
const std::vector<Real> kYcalc = {1, 2, 3, 4};
const std::vector<Real> kYexp = {2, 3, 5, 6};

// The statistics and the lines that show them, in both decimal separators.
TEST(Regression, FourPointsAgainstAHandCalculation) {
  const Regression r = regressYexpOnYcalc(kYcalc, kYexp);
  const Real s = std::sqrt(0.1L);
  EXPECT_TRUE(ExpectClose(r.b, 1.4L, 1e-17L));
  EXPECT_TRUE(ExpectClose(r.a, 0.5L, 1e-17L));
  EXPECT_TRUE(ExpectClose(r.s, s, 1e-17L));
  EXPECT_TRUE(ExpectClose(r.sb, s / std::sqrt(5.0L), 1e-17L));
  EXPECT_TRUE(ExpectClose(r.sa, s * std::sqrt(1.5L), 1e-17L));
  EXPECT_TRUE(ExpectClose(r.R, 7 / std::sqrt(50.0L), 1e-17L));
  EXPECT_TRUE(ExpectClose(r.R2, 0.98L, 1e-17L));
  EXPECT_TRUE(ExpectClose(r.F, 98, 1e-15L));
  EXPECT_TRUE(ExpectClose(r.RMSE, std::sqrt(0.05L), 1e-17L));
  EXPECT_EQ(r.xMean, 2.5L);
  EXPECT_EQ(r.Sxx, 5.0L);

  const Agreement g = agreementOfYcalcWithYexp(kYcalc, kYexp);
  EXPECT_EQ(g.MAE, 1.5L);
  EXPECT_TRUE(ExpectClose(g.RMSEabs, std::sqrt(2.5L), 1e-17L));
  EXPECT_EQ(g.R2abs, -1.0L);

  EXPECT_EQ(regressionLine(r, 4, '.'),
            "Y = 0.500(0.387) + 1.400(0.141)*X;  N =    4;  R2 = 0.9800;  F =   98.0;  "
            "s = 0.3162;  RMSE =   2.236E-001");
  EXPECT_EQ(agreementLine(g, '.'),
            "R2abs = -1.0000;  MAE =    1.500E+000;  RMSEabs =   1.581E+000");
  EXPECT_EQ(regressionLine(r, 4, ','),
            "Y = 0,500(0,387) + 1,400(0,141)*X;  N =    4;  R2 = 0,9800;  F =   98,0;  "
            "s = 0,3162;  RMSE =   2,236E-001");
}

// Yexp = 2 Ycalc + 1 exactly: R is exactly 1 and F has no finite value.
TEST(Regression, PerfectFitReportsTheSentinelF) {
  const std::vector<Real> x = {1, 2, 3};
  const Regression rising = regressYexpOnYcalc(x, std::vector<Real>{3, 5, 7});
  EXPECT_EQ(rising.R, 1.0L);
  EXPECT_EQ(rising.F, kPerfectFitF);
  EXPECT_NE(regressionLine(rising, 3, '.').find("F = -2.2E22;"), std::string::npos);

  // A falling perfect line divides by 1 - R^2 = 0 just the same.
  const Regression falling = regressYexpOnYcalc(x, std::vector<Real>{7, 5, 3});
  EXPECT_EQ(falling.R, -1.0L);
  EXPECT_EQ(falling.F, kPerfectFitF);
}

// All Ycalc equal: no slope can be fitted. The load reports the flat range afterwards; the
// statistics must come out finite rather than divide by zero.
TEST(Regression, EqualCalculatedValuesGiveFiniteStatistics) {
  const std::vector<Real> x = {2, 2, 2, 2};
  const std::vector<Real> y = {1, 2, 3, 6};
  const Regression r = regressYexpOnYcalc(x, y);
  EXPECT_EQ(r.b, 0.0L);
  EXPECT_EQ(r.a, 3.0L);
  EXPECT_EQ(r.R, 0.0L);
  EXPECT_TRUE(std::isfinite(r.F) && std::isfinite(r.s) && std::isfinite(r.sb));
  EXPECT_EQ(agreementOfYcalcWithYexp(x, y).R2abs, 0.0L);
}

TEST(Regression, SortedLineCarriesFittedValuesAndKeepsEqualKeysInOrder) {
  EXPECT_EQ(ascendingOrder(std::vector<Real>{2, 1, 2, 1, 0}),
            (std::vector<std::size_t>{4, 1, 3, 0, 2}));
  const Regression r = regressYexpOnYcalc(kYcalc, kYexp);
  const SortedLine line = sortedRegressionLine(std::vector<Real>{3, 1, 4, 2}, r);
  EXPECT_EQ(line.Ycalc, (std::vector<Real>{1, 2, 3, 4}));
  ASSERT_EQ(line.fitted.size(), 4u);
  EXPECT_TRUE(ExpectClose(line.fitted[3], 6.1L, 1e-17L));
}

using RegressionFileTest = test::ScratchFolderTest;

std::string dataFile(const std::string& name) { return test::sourcePath("tests/data/ui/" + name); }

TEST_F(RegressionFileTest, ReadsFixedColumnsAndTheTitleSuffix) {
  const RegressionLoad load = loadRegressionFile(dataFile("regression_fixed_columns.REG"), '.');
  ASSERT_EQ(load.status, RegressionLoadStatus::ready);
  EXPECT_TRUE(load.plotReady() && load.message.empty());
  const RegressionData& d = load.plot.data;
  EXPECT_EQ(d.titleSuffix, "File [run1.REG] Ycalc.");
  EXPECT_EQ(d.Ycalc, (std::vector<Real>{1, 3, -2}));
  EXPECT_EQ(d.Yexp, (std::vector<Real>{2, 5, -1.5L}));
  EXPECT_EQ(d.PointNo, (std::vector<std::int32_t>{1, 12, 3}));
  EXPECT_EQ(load.plot.x.min, -2.0L);
  EXPECT_EQ(load.plot.y.max, 5.0L);
  EXPECT_EQ(load.plot.line.Ycalc, (std::vector<Real>{-2, 1, 3}));
}

// An empty line, a line without a point number, a field that is no number, a point number that
// is not an integer, NAN and free-format fields in the wrong columns.
TEST_F(RegressionFileTest, BadLinesAreSkippedSilently) {
  const RegressionData d =
      parseRegressionText(test::readFile(dataFile("regression_bad_lines.REG")), '.');
  EXPECT_EQ(d.PointNo, (std::vector<std::int32_t>{1, 4}));
  EXPECT_EQ(d.Ycalc, (std::vector<Real>{1, 4}));
}

// A file written where "," is the decimal separator loads under "." and the reverse.
TEST_F(RegressionFileTest, CommaAndPointFilesLoadUnderEitherSeparator) {
  const std::string comma = test::readFile(dataFile("regression_decimal_comma.REG"));
  std::string point = comma;
  std::ranges::replace(point, ',', '.');
  for (const std::string& text : {comma, point}) {
    for (const char user : {'.', ','}) {
      const RegressionData d = parseRegressionText(text, user);
      EXPECT_EQ(d.Yexp, (std::vector<Real>{2.5L, 3.5L, 3}));
    }
  }
}

// Equal measured values are as flat as equal calculated ones: shown, with the message and no
// plot. An empty file has too few points, as two valid ones have.
TEST_F(RegressionFileTest, FlatMeasuredValuesAndAnEmptyFile) {
  const RegressionLoad flat =
      loadRegressionFile(dataFile("regression_flat_measured_values.REG"), '.');
  EXPECT_EQ(flat.status, RegressionLoadStatus::degenerateRange);
  EXPECT_TRUE(flat.plotReady());
  EXPECT_EQ(flat.message, "PLOT Y vs X: Could not plot data set: min = max.");
  test::writeFile("empty1.REG", "");
  EXPECT_EQ(loadRegressionFile("empty1.REG", '.').status, RegressionLoadStatus::tooFewPoints);
}

// A client area of 502 x 400 with Ycalc from 0 to 4 and Yexp from 0 to 8: X0 = 36, the data
// area starts at x = 84 and is W = 502 - 36 - 96 = 370 wide, so px(x) = 84 + 92.5 x and a
// quarter of W is 92.5 (exact halves, rounded to even); H = 304, py(y) = 352 - 38 y.
RegressionLayout layout() { return RegressionLayout({0, 0, 502, 400}, {0, 4}, {0, 8}); }

TEST(RegressionLayout, MappingFrameTicksAndTextPositions) {
  const RegressionLayout l = layout();
  EXPECT_EQ(l.width(), 370);
  EXPECT_EQ(l.height(), 304);
  EXPECT_EQ(l.px(1), 176);      // 176.5
  EXPECT_EQ(l.px(3), 362);      // 361.5
  EXPECT_EQ(l.py(0.25L), 342);  // 342.5

  EXPECT_EQ(roundPixel(-1.5L), -2);
  EXPECT_EQ(roundPixel(2.5000001L), 3);
  EXPECT_EQ(truncatePixel(-1.7L), -1);
  EXPECT_EQ(roundPixel(1E30L), 1000000000);  // far off the data, still a drawable integer

  const auto frame = l.frame();
  EXPECT_EQ(frame[0], (Pixel{72, 36}));
  EXPECT_EQ(frame[2], (Pixel{466, 364}));

  const auto x = l.xTicks('.');
  const std::vector<int> columns = {84, 176, 269, 362, 454};
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(x[k].value, k);
    EXPECT_EQ(x[k].from, (Pixel{columns[k], 364}));
    EXPECT_EQ(x[k].labelAt, (Pixel{columns[k] - 18, 365}));
  }
  EXPECT_EQ(x[1].label, "1.00E+00");

  const auto y = l.yTicks(9, ',');
  EXPECT_EQ(y[1].label, "2,00E+00");
  EXPECT_EQ(y[1].from, (Pixel{72, 276}));
  EXPECT_EQ(y[1].to, (Pixel{80, 276}));
  EXPECT_EQ(y[1].labelAt, (Pixel{4, 270}));
  EXPECT_EQ(y[4].from.y, 48);

  // Statistics at the middle of ticks 1 and 2 across, of ticks 0 and 1 up, truncated.
  EXPECT_EQ(l.regressionLineAt(), (Pixel{222, 314}));
  EXPECT_EQ(l.agreementLineAt(15), (Pixel{222, 284}));
  EXPECT_EQ(l.titleAt(101), (Pixel{200, 12}));
  EXPECT_EQ(l.xCaptionAt(8), (Pixel{467, 352}));
  EXPECT_EQ(l.yCaptionAt(), (Pixel{1, 23}));
  EXPECT_EQ(l.pointBox(1, 2), (Box{171, 271, 181, 281}));
}

TEST(RegressionLayout, LinesAndConfidenceBand) {
  const RegressionLayout l = layout();
  const auto line = l.regressionLine({{1, 3}, {2, 6}});
  EXPECT_EQ(line, (std::vector<Pixel>{{176, 276}, {362, 124}}));

  // Yexp = Ycalc +- 1.5 across Ycalc 0 ... 4.
  const auto band = l.bandLines(0.5L);
  EXPECT_EQ(band[0][0], (Pixel{84, 295}));
  EXPECT_EQ(band[1][1], (Pixel{454, 257}));

  // At step 250 (x = 2 = xMean) the half-width is 1.96 s sqrt(1/N) = 0.98 around yfit = 4.
  Regression fit;
  fit.b = 2;
  fit.s = 1;
  fit.xMean = 2;
  fit.Sxx = 5;
  const auto pixels = l.confidenceBand(fit, 4);
  ASSERT_EQ(pixels.size(), 1000u);
  EXPECT_EQ(pixels[498], (Pixel{269, 163}));
  EXPECT_EQ(pixels[499], (Pixel{269, 237}));
  EXPECT_EQ(pixels[999].x, 454);
  fit.Sxx = 0;
  EXPECT_TRUE(l.confidenceBand(fit, 4).empty());
}

// The statistics lines stay inside the client area (right edge 498, frame from 72) in a font of
// 6 pixels a character: in place when they fit, moved left as far as needed, and broken after
// their "; " separators when wider than the frame, the regression line's last row staying put.
TEST(RegressionLayout, StatisticsLinesStayInsideTheWindow) {
  const auto width = [](const std::string& text) { return 6 * static_cast<int>(text.size()); };
  const auto placed = [&](const std::string& regression, const std::string& agreement) {
    std::vector<std::string> rows;
    for (const auto& p : layout().statisticsLines(regression, agreement, 15, width))
      rows.push_back(std::to_string(p.at.x) + "," + std::to_string(p.at.y) + " " + p.text);
    return rows;
  };
  EXPECT_EQ(placed("a;  b", "c"), (std::vector<std::string>{"222,284 c", "222,314 a;  b"}));
  const std::string fifty(50, 'x');
  EXPECT_EQ(placed(fifty, "c"), (std::vector<std::string>{"198,284 c", "198,314 " + fifty}));
  EXPECT_EQ(placed(regressionLine(regressYexpOnYcalc(kYcalc, kYexp), 4, '.'),
                   agreementLine(agreementOfYcalcWithYexp(kYcalc, kYexp), '.')),
            (std::vector<std::string>{
                "126,269 R2abs = -1.0000;  MAE =    1.500E+000;  RMSEabs =   1.581E+000",
                "126,299 Y = 0.500(0.387) + 1.400(0.141)*X;  N =    4;  R2 = 0.9800;",
                "126,314 F =   98.0;  s = 0.3162;  RMSE =   2.236E-001"}));
}

// The hit test takes the first point within four pixels; the read-out gives the values under the
// mouse.
TEST(RegressionLayout, HitTestAndReadout) {
  const RegressionLayout l = layout();
  // Points 1 and 3 share a pixel; point 2 is elsewhere.
  const std::vector<Real> Ycalc = {1, 3, 1};
  const std::vector<Real> Yexp = {2, 6, 2};
  EXPECT_EQ(l.hitTest(176, 276, Ycalc, Yexp), 1);
  EXPECT_EQ(l.hitTest(180, 272, Ycalc, Yexp), 1);
  EXPECT_EQ(l.hitTest(181, 276, Ycalc, Yexp), 0);
  EXPECT_EQ(l.hitTest(176, 281, Ycalc, Yexp), 0);
  EXPECT_EQ(l.hitTest(358, 120, Ycalc, Yexp), 2);

  // x = (176 - 84) 4 / 370 = 0.994595, y = (352 - 276) 8 / 304 = 2.
  EXPECT_EQ(l.readout(176, 276, '.'),
            "Ycalc.  =      0.99459;     Yexp. =      2.00000;     D =     -1.00541");
  EXPECT_EQ(l.readout(176, 276, ','),
            "Ycalc.  =      0,99459;     Yexp. =      2,00000;     D =     -1,00541");
  const RegressionLayout tiny({0, 0, 160, 96}, {0, 4}, {0, 8});  // W = 28, H = 0
  EXPECT_FALSE(tiny.hasDataArea());
  EXPECT_FALSE(tiny.readout(50, 50, '.').has_value());
}

}  // namespace
}  // namespace tarvolin::plotting
