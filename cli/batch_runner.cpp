#include "cli/batch_runner.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <thread>

#include "base/number_format.h"
#include "base/text_file.h"
#include "run/compute_command.h"
#include "run/results_json.h"
#include "run/run_files.h"

namespace tarvolin::cli {

namespace {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

constexpr int kExitFile = 3;
constexpr int kExitUsage = 64;

// How one input of the batch ended.
struct Outcome {
  int exit = 0;
  std::string message;
  json document;  // the run's results document; null when it left none
};

bool sameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return fs::exists(a, error) && fs::exists(b, error) && fs::equivalent(a, b, error);
}

std::string folderName(const std::string& input) {
  const std::string name = fileNamePart(input);
  const auto dot = name.find_last_of('.');
  if (dot == std::string::npos || dot == 0) return name + ".run";
  return name.substr(0, dot);
}

std::string inFolder(const BatchJob& job, const char* extension) {
  return (fs::path(job.folder) / (job.name + extension)).string();
}

std::string shortestText(float x) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, x).ptr);
}

// The command line of one input's run: the batch's options, the input by its absolute name
// (the child works in the work folder), the report and the results document beside it.
std::vector<std::string> childArguments(const Options& o, const std::string& program,
                                        const BatchJob& job) {
  std::vector<std::string> args = {program, "--method", methodName(o.method)};
  if (o.singleStep) args.push_back("--single-step");
  if (o.oneByOne) args.push_back("--one-by-one");
  args.insert(args.end(), {"--delta-rf", shortestText(o.deltaRF)});
  if (o.seed) args.insert(args.end(), {"--seed", std::to_string(*o.seed)});
  std::error_code error;
  args.insert(args.end(), {"--json", job.name + ".json", fs::absolute(job.input, error).string(),
                           job.name + ".OUT"});
  return args;
}

// In the child: its own process group (Ctrl-C reaches the batch, which passes it on once),
// the signal mask it had before the batch blocked them, the work folder as current folder,
// its messages into NAME.log.
[[noreturn]] void execChild(const std::vector<std::string>& args, const BatchJob& job,
                            const sigset_t& mask) {
  setpgid(0, 0);
  sigprocmask(SIG_SETMASK, &mask, nullptr);
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  if (chdir(job.folder.c_str()) == 0) {
    const int log = open((job.name + ".log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int none = open("/dev/null", O_RDONLY);
    if (log >= 0) {
      dup2(log, STDOUT_FILENO);
      dup2(log, STDERR_FILENO);
    }
    if (none >= 0) dup2(none, STDIN_FILENO);
    execv(argv[0], argv.data());
  }
  std::fprintf(stderr, "tarvolin-run: cannot start a run in '%s': %s\n", job.folder.c_str(),
               std::strerror(errno));
  _exit(kExitFile);
}

std::string lastLineOf(const std::string& path) {
  std::string content;
  if (!readWholeFile(path, content)) return "";
  const std::vector<std::string> lines = splitLines(content);
  for (auto line = lines.rbegin(); line != lines.rend(); ++line)
    if (!line->empty()) return *line;
  return "";
}

// The run's exit status from its wait status, its message and document from the files it left.
Outcome outcomeOf(const BatchJob& job, int waitStatus) {
  Outcome outcome;
  outcome.exit = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus);
  std::string text;
  if (readWholeFile(inFolder(job, ".json"), text)) {
    outcome.document = json::parse(text, nullptr, false);
    if (outcome.document.is_discarded()) outcome.document = nullptr;
  }
  const std::string log = inFolder(job, ".log");
  if (outcome.document.is_object() && outcome.document.value("message", json()).is_string())
    outcome.message = outcome.document["message"].get<std::string>();
  else if (outcome.exit != 0)
    outcome.message = lastLineOf(log);
  if (outcome.exit != 0 && outcome.message.empty())
    outcome.message =
        outcome.exit > 128 ? "the run was ended by a signal" : "the run left no results document";
  std::error_code error;
  if (fs::exists(log, error) && fs::file_size(log, error) == 0) fs::remove(log, error);
  return outcome;
}

// "TITR1.DAT: simplex, total R-factor 0.234%, exit 0 (done)", with the message of a failure.
std::string summaryLine(const BatchJob& job, const Options& o, const Outcome& outcome) {
  std::string line = job.input + ": " + methodName(o.method);
  std::vector<std::string> factors;
  if (outcome.document.is_object() && outcome.document.contains("systems"))
    for (const json& system : outcome.document["systems"])
      if (system.value("total_rf", json()).is_number())
        factors.push_back(fmt::fixed(system["total_rf"].get<double>(), 0, 3) + "%");
  if (!factors.empty()) {
    line += factors.size() == 1 ? ", total R-factor" : ", total R-factors";
    for (const std::string& factor : factors) line += " " + factor;
  }
  line += ", exit " + std::to_string(outcome.exit) + " (" + exitStatusText(outcome.exit) + ")";
  if (outcome.exit != 0) line += ": " + outcome.message;
  return line;
}

// The batch's own Ctrl-C, termination and child-exit signals are taken one at a time by the
// waiting loop instead of by handlers.
class SignalGate {
 public:
  SignalGate() {
    sigemptyset(&handled_);
    for (int sig : {SIGINT, SIGTERM, SIGCHLD}) sigaddset(&handled_, sig);
    sigprocmask(SIG_BLOCK, &handled_, &previous_);
  }
  ~SignalGate() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }
  // A signal that arrived within a second, 0 when none did.
  int wait() {
    timespec second{1, 0};
    const int sig = sigtimedwait(&handled_, nullptr, &second);
    return sig > 0 ? sig : 0;
  }
  const sigset_t& previous() const { return previous_; }

 private:
  sigset_t handled_;
  sigset_t previous_;
};

class Batch {
 public:
  Batch(const Options& options, std::string program, std::vector<BatchJob> jobs)
      : o_(options),
        program_(std::move(program)),
        jobs_(std::move(jobs)),
        outcomes_(jobs_.size()) {}

  int run();

 private:
  void start(std::size_t index);
  void finished(std::size_t index, Outcome outcome);
  void reapChildren();
  void cancelRunning(int sig);
  int summarise();
  void writeBatchDocument(int worst);

  const Options& o_;
  std::string program_;
  std::vector<BatchJob> jobs_;
  std::vector<Outcome> outcomes_;
  std::map<pid_t, std::size_t> running_;
  SignalGate signals_;
  bool cancelled_ = false;
};

void Batch::start(std::size_t index) {
  const BatchJob& job = jobs_[index];
  std::error_code error;
  fs::create_directories(job.folder, error);
  if (!fs::is_directory(job.folder)) {
    const std::string reason = error ? error.message() : "a file of that name is in the way";
    finished(index, {kExitFile, "Cannot create work folder '" + job.folder + "': " + reason, {}});
    return;
  }
  // A document of an earlier run must not pass for this one's.
  fs::remove(inFolder(job, ".json"), error);
  const std::vector<std::string> args = childArguments(o_, program_, job);
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) execChild(args, job, signals_.previous());
  if (pid < 0) {
    finished(index, {kExitFile, std::string("Cannot start a run: ") + std::strerror(errno), {}});
    return;
  }
  setpgid(pid, pid);
  running_[pid] = index;
}

void Batch::finished(std::size_t index, Outcome outcome) {
  std::printf("%s\n", summaryLine(jobs_[index], o_, outcome).c_str());
  std::fflush(stdout);
  outcomes_[index] = std::move(outcome);
}

void Batch::reapChildren() {
  int status = 0;
  pid_t pid;
  while ((pid = waitpid(-1, &status, WNOHANG)) > 0) {
    const auto child = running_.find(pid);
    if (child == running_.end()) continue;
    const std::size_t index = child->second;
    running_.erase(child);
    finished(index, outcomeOf(jobs_[index], status));
  }
}

// Each run under way gets the signal once: at Ctrl-C a fit stops at its next iteration and
// writes its report; a second Ctrl-C ends the runs at once.
void Batch::cancelRunning(int sig) {
  cancelled_ = true;
  for (const auto& [pid, index] : running_) kill(pid, sig);
}

int Batch::run() {
  const std::size_t parallel = static_cast<std::size_t>(
      o_.jobs > 0 ? o_.jobs : std::max(1u, std::thread::hardware_concurrency()));
  std::size_t next = 0;
  for (;;) {
    while (!cancelled_ && running_.size() < parallel && next < jobs_.size()) start(next++);
    if (running_.empty()) break;
    const int sig = signals_.wait();
    if (sig == SIGINT || sig == SIGTERM) cancelRunning(sig);
    reapChildren();
  }
  for (; next < jobs_.size(); ++next)
    finished(next, {kExitCancelled, "not started: the batch was cancelled", {}});
  return summarise();
}

int Batch::summarise() {
  int worst = 0, done = 0, cancelled = 0;
  for (const Outcome& outcome : outcomes_) {
    worst = worseStatus(worst, outcome.exit);
    if (outcome.exit == 0) ++done;
    if (outcome.exit == kExitCancelled) ++cancelled;
  }
  const int failed = static_cast<int>(outcomes_.size()) - done - cancelled;
  std::string line = std::to_string(outcomes_.size()) + " input" +
                     (outcomes_.size() == 1 ? "" : "s") + ": " + std::to_string(done) + " done, " +
                     std::to_string(failed) + " failed";
  if (cancelled > 0) line += ", " + std::to_string(cancelled) + " cancelled";
  std::printf("%s; exit status %d\n", line.c_str(), worst);
  std::fflush(stdout);
  if (!o_.json.empty()) {
    try {
      writeBatchDocument(worst);
    } catch (const IoError& error) {
      std::fprintf(stderr, "Write into File: Cannot write file '%s': %s\n", error.path().c_str(),
                   error.reason().c_str());
      worst = worseStatus(worst, kExitFile);
    }
  }
  return worst;
}

void Batch::writeBatchDocument(int worst) {
  json runs = json::array();
  for (std::size_t i = 0; i < jobs_.size(); ++i) {
    const Outcome& outcome = outcomes_[i];
    runs.push_back({{"input", jobs_[i].input},
                    {"work_folder", jobs_[i].folder},
                    {"exit_status", outcome.exit},
                    {"status", exitStatusText(outcome.exit)},
                    {"message", outcome.message.empty() ? json(nullptr) : json(outcome.message)},
                    {"document", outcome.document}});
  }
  const json doc = {{"schema", kBatchSchema},          {"program", "tarvolin-run"},
                    {"version", TARVOLIN_VERSION},     {"exit_status", worst},
                    {"status", exitStatusText(worst)}, {"runs", runs}};
  writeJsonFile(o_.json, doc);
}

}  // namespace

std::optional<std::vector<BatchJob>> planBatch(const Options& options, std::string& error) {
  std::vector<BatchJob> jobs;
  for (const std::string& input : options.inputs) {
    BatchJob job;
    job.input = input;
    job.name = folderName(input);
    const fs::path parent =
        options.outdir.empty() ? fs::path(input).parent_path() : fs::path(options.outdir);
    job.folder = (parent / job.name).lexically_normal().string();
    std::error_code code;
    const fs::path folder = fs::weakly_canonical(fs::absolute(job.folder, code), code);
    for (const BatchJob& other : jobs) {
      if (input == other.input || sameFile(input, other.input)) {
        error = "the input '" + input + "' is given twice";
        return std::nullopt;
      }
      if (folder == fs::weakly_canonical(fs::absolute(other.folder, code), code)) {
        error = "the inputs '" + other.input + "' and '" + input +
                "' would share the work "
                "folder '" +
                job.folder + "'; rename one or run them with different --outdir";
        return std::nullopt;
      }
    }
    if (!options.json.empty()) {
      const std::string conflict = resultsFileConflict(options.json, input, inFolder(job, ".OUT"));
      if (!conflict.empty()) {
        error = conflict;
        return std::nullopt;
      }
    }
    jobs.push_back(std::move(job));
  }
  return jobs;
}

int worseStatus(int a, int b) { return std::max(a, b); }

int runBatch(const Options& options, const std::string& program) {
  std::string error;
  auto jobs = planBatch(options, error);
  if (!jobs) {
    std::fprintf(stderr, "tarvolin-run: %s\n\n%s", error.c_str(), usageText().c_str());
    return kExitUsage;
  }
  return Batch(options, program, std::move(*jobs)).run();
}

}  // namespace tarvolin::cli
