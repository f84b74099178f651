#pragma once
// A model read from an example file, its engine and a report file, for the fitting tests; and
// perturbation of the flagged parameters, so that a fit has something to recover.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "base/floating_point.h"
#include "base/text_file.h"
#include "engine/engine.h"
#include "tests/support/test_support.h"

namespace tarvolin::test {

struct FitHarness {
  explicit FitHarness(const std::string& example, int fittingMethod) : model(newModel()) {
    const std::string text = readFile(sourcePath("examples/" + example));
    EXPECT_TRUE(readDatText(text, *model, platform)) << example;
    truth = std::make_unique<Model>(*model);
    model->FittingMethod = static_cast<std::uint8_t>(fittingMethod);
    engine = std::make_unique<Engine>(*model, platform, report);
    engine->startRun();
    clearFloatingPointFlags();
  }
  ~FitHarness() { clearFloatingPointFlags(); }

  std::string reportText() { return scratch.text(); }

  // Moves every flagged lgBETA by `shift` log units and every flagged Fo, a or AV by the
  // fraction `relative` of its value.
  void perturb(Real shift, Real relative) {
    Model& m = *model;
    for (int s = 1; s <= m.NSpecies; ++s)
      if (m.FitBeta[s] == 1) m.lgBETA[s] += shift;
    for (int b = 1; b <= m.NBlocks; ++b) {
      for (int s = 1; s <= m.NSpecies; ++s)
        if (m.FitAV[s][b] == 1) m.AV[s][b] *= 1 + relative;
      if (m.FitBlock[b] == 1) (m.Method[b] == 1 ? m.a[b] : m.Fo[b]) *= 1 + relative;
    }
  }

  // Largest deviation of a flagged parameter from the file's value: absolute for lgBETA
  // (lgBetaOnly) or relative for the block parameters and additive values.
  Real largestDeviation(bool lgBetaOnly = true) const {
    const Model& m = *model;
    const Model& t = *truth;
    Real worst = 0;
    auto consider = [&](Real value, Real expected, bool relative) {
      const Real scale = relative && expected != 0 ? std::fabs(expected) : 1;
      worst = std::max(worst, std::fabs(value - expected) / scale);
    };
    for (int s = 1; s <= m.NSpecies; ++s)
      if (lgBetaOnly && t.FitBeta[s] == 1) consider(m.lgBETA[s], t.lgBETA[s], false);
    if (lgBetaOnly) return worst;
    for (int b = 1; b <= m.NBlocks; ++b) {
      for (int s = 1; s <= m.NSpecies; ++s)
        if (t.FitAV[s][b] == 1) consider(m.AV[s][b], t.AV[s][b], true);
      if (t.FitBlock[b] == 1)
        consider(m.Method[b] == 1 ? m.a[b] : m.Fo[b], t.Method[b] == 1 ? t.a[b] : t.Fo[b], true);
    }
    return worst;
  }

  std::unique_ptr<Model> model;
  std::unique_ptr<Model> truth;  // the model as read, before any perturbation
  FakePlatform platform;
  ScratchReport scratch{"tarvolin-fit"};
  TextWriter& report = scratch.writer;
  std::unique_ptr<Engine> engine;
};

}  // namespace tarvolin::test
