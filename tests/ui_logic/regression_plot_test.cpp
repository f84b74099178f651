#include "ui/plotting/regression_plot.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvolin::plotting {
namespace {

// A client area of 502 x 400 with Ycalc from 0 to 4 and Yexp from 0 to 8: X0 = 36, the data
// area starts at x = 84 and is W = 502 - 36 - 96 = 370 wide, so px(x) = 84 + 92.5 x and a
// quarter of W is 92.5 (exact halves, rounded to even); H = 304, py(y) = 352 - 38 y.
RegressionLayout layout() { return RegressionLayout({0, 0, 502, 400}, {0, 4}, {0, 8}); }

TEST(RegressionLayout, MappingRoundsHalvesToEven) {
  const RegressionLayout l = layout();
  EXPECT_EQ(l.x0(), 36);
  EXPECT_EQ(l.width(), 370);
  EXPECT_EQ(l.height(), 304);
  EXPECT_EQ(l.px(0), 84);
  EXPECT_EQ(l.px(1), 176);  // 176.5
  EXPECT_EQ(l.px(3), 362);  // 361.5
  EXPECT_EQ(l.px(4), 454);
  EXPECT_EQ(l.py(0), 352);
  EXPECT_EQ(l.py(8), 48);
  EXPECT_EQ(l.py(0.25L), 342);  // 342.5

  EXPECT_EQ(roundPixel(-0.5L), 0);
  EXPECT_EQ(roundPixel(-1.5L), -2);
  EXPECT_EQ(roundPixel(2.5000001L), 3);
  EXPECT_EQ(truncatePixel(-1.7L), -1);
  EXPECT_EQ(roundPixel(1E30L), 1000000000);  // far off the data, still a drawable integer
}

TEST(RegressionLayout, FrameTicksAndTextPositions) {
  const RegressionLayout l = layout();
  const auto frame = l.frame();
  EXPECT_EQ(frame[0], (Pixel{72, 36}));
  EXPECT_EQ(frame[2], (Pixel{466, 364}));

  const auto x = l.xTicks('.');
  const std::vector<int> columns = {84, 176, 269, 362, 454};
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(x[k].value, k);
    EXPECT_EQ(x[k].from, (Pixel{columns[k], 364}));
    EXPECT_EQ(x[k].to, (Pixel{columns[k], 356}));
    EXPECT_EQ(x[k].labelAt, (Pixel{columns[k] - 18, 365}));
  }
  EXPECT_EQ(x[1].label, "1.00E+00");
  EXPECT_EQ(x[2].label, "2.00E+00");

  const auto y = l.yTicks(9, ',');
  EXPECT_EQ(y[1].value, 2.0L);
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
  EXPECT_EQ(band[0][1], (Pixel{454, 143}));
  EXPECT_EQ(band[1][0], (Pixel{84, 409}));
  EXPECT_EQ(band[1][1], (Pixel{454, 257}));

  // At step 250 (x = 2 = xMean) the half-width is 1.96 s sqrt(1/N) = 0.98 around yfit = 4.
  Regression fit;
  fit.a = 0;
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

TEST(RegressionLayout, HitTestTakesTheFirstPointWithinFourPixels) {
  const RegressionLayout l = layout();
  // Points 1 and 3 share a pixel; point 2 is elsewhere.
  const std::vector<Real> Ycalc = {1, 3, 1};
  const std::vector<Real> Yexp = {2, 6, 2};
  EXPECT_EQ(l.hitTest(176, 276, Ycalc, Yexp), 1);
  EXPECT_EQ(l.hitTest(180, 272, Ycalc, Yexp), 1);
  EXPECT_EQ(l.hitTest(181, 276, Ycalc, Yexp), 0);
  EXPECT_EQ(l.hitTest(176, 281, Ycalc, Yexp), 0);
  EXPECT_EQ(l.hitTest(358, 120, Ycalc, Yexp), 2);
  EXPECT_EQ(l.hitTest(10, 10, Ycalc, Yexp), 0);
}

TEST(RegressionLayout, ReadoutOfTheValuesUnderTheMouse) {
  const RegressionLayout l = layout();
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
