#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <regex>

#include "cli/cli_options.h"
#include "tests/support/results_schema.h"
#include "tests/support/test_support.h"

namespace tarvolin::test {
namespace {

TEST(CliOptions, DefaultsAndEveryOption) {
  std::string error;
  const auto plain = cli::parseOptions({"data/run.v2.DAT"}, error);
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->method, kSimplex);
  EXPECT_FALSE(plain->singleStep || plain->oneByOne);
  EXPECT_FLOAT_EQ(plain->deltaRF, 1.0e-6f);
  EXPECT_EQ(plain->output, "data/run.v2.OUT");
  EXPECT_EQ(cli::defaultOutputName("v1.0/noext"), "v1.0/noext.OUT");
  const auto o = cli::parseOptions({"--method", "gradient", "--single-step", "--one-by-one",
                                    "--delta-rf=2.5e-5", "in.sqd", "out.OUT"},
                                   error);
  ASSERT_TRUE(o) << error;
  EXPECT_EQ(o->method, kGradient);
  EXPECT_TRUE(o->singleStep && o->oneByOne);
  EXPECT_FLOAT_EQ(o->deltaRF, 2.5e-5f);
  EXPECT_EQ(o->output, "out.OUT");
  EXPECT_EQ(cli::parseOptions({"--method=montecarlo", "x.dat"}, error)->method, kMonteCarlo);
  EXPECT_EQ(*cli::parseOptions({"--seed", "4294967295", "x.dat"}, error)->seed, 4294967295u);
  // A batch by --outdir even of one input, with N runs at a time.
  const auto batch = cli::parseOptions({"--outdir=runs", "-j3", "x.dat"}, error);
  ASSERT_TRUE(batch) << error;
  EXPECT_TRUE(batch->batch);
  EXPECT_EQ(batch->outdir, "runs");
  EXPECT_EQ(batch->jobs, 3);
  EXPECT_EQ(batch->inputs, std::vector<std::string>{"x.dat"});
  EXPECT_FALSE(cli::parseOptions({"--method", "newton", "x.dat"}, error));
  EXPECT_NE(error.find("newton"), std::string::npos);
}

// The headless program end to end: exit status and messages on stderr as "Caption: text".
class TarvolinRun : public ScratchFolderTest {
 protected:
  // Three batch samples of a ligand with a metal, NMR shifts: a run of a moment.
  const std::string batch_ = readFile(sourcePath("tests/data/dat/nmr_batch_three_samples.DAT"));

  int run(const std::string& arguments) {
    const std::string command =
        std::string(TARVOLIN_RUN_PROGRAM) + " " + arguments + " 2>stderr.txt >stdout.txt";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
};

TEST_F(TarvolinRun, ExitStatusByKindOfFailure) {
  std::string bad = batch_;
  bad.replace(bad.find("2 4 1"), 5, "2 4 0");
  writeFile("BAD.DAT", bad);
  EXPECT_EQ(run("BAD.DAT"), 1);
  EXPECT_EQ(readFile("stderr.txt"),
            "Input Experimental Data: Incorrect number of experimental blocks: 100\n");
  // The results document of a failed run says why.
  EXPECT_EQ(run("--json bad.json BAD.DAT"), 1);
  const auto badDoc = nlohmann::json::parse(readFile("bad.json"));
  EXPECT_EQ(badDoc["exit_status"], 1);
  EXPECT_EQ(badDoc["message"],
            "Input Experimental Data: Incorrect number of experimental blocks: 100");
  EXPECT_EQ(badDoc["systems"].size(), 0u);

  EXPECT_EQ(run("MISSING.DAT"), 3);
  EXPECT_EQ(readFile("stderr.txt"), "Open File: Cannot open file 'MISSING.DAT'\n");

  writeFile("NMR.DAT", batch_);
  EXPECT_EQ(run("NMR.DAT no/folder/x.OUT"), 3);
  EXPECT_EQ(readFile("stderr.txt"), "Write into File: Cannot create file 'no/folder/x.OUT'\n");

  EXPECT_EQ(run(""), 64);
  EXPECT_EQ(run("--help"), 0);
  EXPECT_NE(readFile("stdout.txt").find("--method gradient|simplex|montecarlo"), std::string::npos);
}

// Every usage error ends the run before it reads or writes a file, among them any run that
// would overwrite what it reads; the inputs stay as they were.
TEST_F(TarvolinRun, UsageErrorsLeaveTheInputsAlone) {
  std::filesystem::create_directory("sub");
  const char* const inputs[] = {"T.DAT",        "X.OUT",         "IN.IN",
                                "CURRENT.DA~",  "RUN.PFP",       "RUN2.ECP",
                                "res.old1.ECP", "RUNS2_BC1.BCP", "sub/T.DAT"};
  for (const char* name : inputs) writeFile(name, batch_);
  std::filesystem::create_hard_link("T.DAT", "LINK.DAT");
  for (const auto& row : readTable("tests/data/cli_usage_errors.txt")) {
    const std::string arguments = std::regex_replace(row[0], std::regex(R"(\\n)"), "\n");
    SCOPED_TRACE(arguments);
    EXPECT_EQ(run(arguments), 64);
    EXPECT_EQ(readFile("stderr.txt").rfind("tarvolin-run: ", 0), 0u);
    for (const char* name : inputs) EXPECT_EQ(readFile(name), batch_) << name;
  }
  // Another folder's work files and plot-like names elsewhere are no conflict; a clean run
  // says nothing on stderr and leaves the control file of its names.
  EXPECT_EQ(run("--single-step sub/T.DAT sub/T.OUT"), 0);
  EXPECT_EQ(run("--single-step RUN.PFP OTHER.OUT"), 0);
  EXPECT_EQ(readFile("stderr.txt"), "");
  EXPECT_EQ(readFile("IN.IN"), "RUN.PFP\r\nOTHER.OUT\r\n");
}

// Ctrl-C during a fit: the report is complete with the values reached, a line on stderr
// says where the fit stopped, and the exit status tells a cancelled fit from a finished one.
TEST_F(TarvolinRun, CtrlCCancelsTheFitAndSaysSo) {
  // Started off the constants of the data, so that each fit takes some hundred iterations.
  std::string text = readFile(sourcePath("examples/POT_TITRATION.DAT"));
  text.replace(text.find("0 0 9.93 17.08"), 14, "0 0 9.60 17.45");
  writeFile("T.DAT", text);
  for (const char* method : {"gradient", "montecarlo"}) {
    SCOPED_TRACE(method);
    std::filesystem::remove("IN.IN");
    // The control file is written once the program's Ctrl-C handler is in place.
    const std::string script = std::string(TARVOLIN_RUN_PROGRAM) + " --method " + method +
                               " --json T.json T.DAT 2>stderr.txt & pid=$!; "
                               "while [ ! -f IN.IN ]; do sleep 0.01; done; "
                               "kill -INT $pid; wait $pid";
    const int status = std::system(("bash -c '" + script + "'").c_str());
    EXPECT_EQ(WEXITSTATUS(status), 130);
    EXPECT_EQ(readFile("stderr.txt").rfind("tarvolin-run: the fit was cancelled at iteration ", 0),
              0u)
        << readFile("stderr.txt");
    EXPECT_NE(readFile("T.OUT").find("TIME OF COMPUTATIONS: "), std::string::npos);
    const auto doc = nlohmann::json::parse(readFile("T.json"));
    EXPECT_EQ(doc["exit_status"], 130);
    EXPECT_EQ(doc["systems"].size(), 1u);
  }
}

// A batch of three inputs, one of them unreadable, two at a time: each input runs in a work
// folder of its own beside it, the others complete, the broken one is named with its message,
// the exit status is the worst, and the batch document holds every run's own.
TEST_F(TarvolinRun, BatchRunsEveryInputInItsOwnFolder) {
  std::string broken = batch_;
  broken.replace(broken.find("2 4 1"), 5, "2 4 0");
  std::filesystem::create_directory("data");
  writeFile("NMR.DAT", batch_);
  writeFile("BAD.DAT", broken);
  writeFile("data/NMR.SQD.DAT", batch_);
  EXPECT_EQ(run("--single-step -j 2 --json all.json NMR.DAT BAD.DAT data/NMR.SQD.DAT"), 1);
  const std::vector<std::string> lines = splitLines(readFile("stdout.txt"));
  ASSERT_EQ(lines.size(), 4u) << readFile("stdout.txt");
  auto line = [&](const std::string& start) {
    for (const std::string& l : lines)
      if (l.rfind(start, 0) == 0) return l;
    return std::string("no line ") + start;
  };
  EXPECT_EQ(line("BAD.DAT"),
            "BAD.DAT: simplex, exit 1 (input error): Input Experimental Data: Incorrect number of "
            "experimental blocks: 100");
  EXPECT_EQ(line("NMR.DAT").rfind("NMR.DAT: simplex, total R-factor ", 0), 0u);
  EXPECT_NE(line("NMR.DAT").find("%, exit 0 (done)"), std::string::npos);
  EXPECT_EQ(lines.back(), "3 inputs: 2 done, 1 failed; exit status 1");
  for (const char* file : {"NMR/NMR.OUT", "NMR/NMR.json", "NMR/IN.IN", "NMR/NMR.PFP",
                           "data/NMR.SQD/NMR.SQD.OUT", "BAD/BAD.log"})
    EXPECT_TRUE(std::filesystem::exists(file)) << file;
  EXPECT_FALSE(std::filesystem::exists("IN.IN"));
  EXPECT_FALSE(std::filesystem::exists("NMR/NMR.log"));  // a clean run says nothing

  const auto all = ResultsSchema::Json::parse(readFile("all.json"));
  ResultsSchema().check(all, "batch");
  EXPECT_EQ(all["exit_status"], 1);
  EXPECT_EQ(all["runs"][1]["document"]["exit_status"], 1);
  EXPECT_EQ(all["runs"][1]["document"]["message"], all["runs"][1]["message"]);
  EXPECT_EQ(all["runs"][2]["work_folder"], "data/NMR.SQD");

  // --outdir collects the folders; an input given twice, or two that would share a folder,
  // are refused before anything runs.
  EXPECT_EQ(run("--single-step --outdir runs NMR.DAT"), 0);
  EXPECT_TRUE(std::filesystem::exists("runs/NMR/NMR.OUT"));
  EXPECT_EQ(run("NMR.DAT BAD.DAT ./NMR.DAT"), 64);
  writeFile("data/NMR.DAT", batch_);
  EXPECT_EQ(run("--outdir runs NMR.DAT data/NMR.DAT"), 64);
  EXPECT_NE(readFile("stderr.txt").find("would share the work folder 'runs/NMR'"),
            std::string::npos);
}

// A write that fails during the run (here a file-size limit, and a block file that lands on a
// full device) ends it with the file's name and the system's reason, exit 3, and a report
// without its closing time lines.
TEST_F(TarvolinRun, FailedWriteNamesTheFileAndTheReason) {
  writeFile("NMR.DAT", batch_);
  const std::string program = TARVOLIN_RUN_PROGRAM;
  const int limited = std::system(("bash -c \"trap '' XFSZ; ulimit -f 2; exec " + program +
                                   " --single-step NMR.DAT\" 2>stderr.txt >stdout.txt")
                                      .c_str());
  EXPECT_EQ(WEXITSTATUS(limited), 3);
  const std::string limitMessage = readFile("stderr.txt");
  EXPECT_EQ(limitMessage.rfind("Write into File: Cannot write file '", 0), 0u) << limitMessage;
  EXPECT_NE(limitMessage.find("': File too large\n"), std::string::npos) << limitMessage;
  EXPECT_EQ(readFile("NMR.OUT").find("TIME OF COMPUTATIONS"), std::string::npos);

  std::filesystem::remove("NMR1.ECP");
  std::filesystem::create_symlink("/dev/full", "NMR1.ECP");
  EXPECT_EQ(run("--single-step NMR.DAT"), 3);
  const std::string message = "Cannot write file 'NMR1.ECP': No space left on device";
  EXPECT_EQ(readFile("stderr.txt"), "Write into File: " + message + "\n");
  const std::string report = readFile("NMR.OUT");
  EXPECT_EQ(report.substr(report.size() - message.size() - 2), message + "\r\n");
}

}  // namespace
}  // namespace tarvolin::test
