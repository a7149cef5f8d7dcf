#include "app/watch_cli.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <memory>
#include <optional>

#include "app/report_cli.h"
#include "app/stats_cli.h"
#include "mqo/model_changes.h"
#include "mqo/report_output.h"
#include "mqo/text_forms.h"
#include "platform/rtl/file_watch.h"
#include "platform/rtl/scope_guard.h"

namespace corvida {
namespace {

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

struct TFollowed {
  std::string file;
  // The figures of the last report, to tell what changed.
  std::optional<TModelStats> last;
  // The last read found the model unfinished and waits for one more.
  bool waited = false;
};

class TWatchRun {
 public:
  TWatchRun(const TCliOptions& options, bool stats, const TBudgetLimits& limits, std::ostream& out, std::ostream& err)
      : options_(options), stats_(stats), limits_(limits), out_(out), err_(err) {
    std::optional<std::string> budgetName;
    if (options.budget || limits.Any()) budgetName = options.budget.value_or("");
    if (stats) statsWriter_ = MakeStatsWriter(options.form, out, options.sortMode, budgetName);
    else if (options.form != foText) reportWriter_ = MakeReportWriter(options.form, out);
  }

  // Reports file. After a change, a model that does not read to its end
  // may still be being written: it is looked at once more after another
  // settling time before it is reported as it is.
  void Report(TFollowed& followed, TFileWatch* watch, int64_t now) {
    const TStatsFile figures = ReadStats(followed.file, limits_);
    const bool unfinished = !figures.stats || !figures.stats->ended;
    if (watch && unfinished && !followed.waited) {
      followed.waited = true;
      watch->Again(followed.file, now);
      return;
    }
    followed.waited = false;
    if (stats_) {
      statsWriter_->File(figures);
      PrintTroubles(followed.file, figures, err_);
    } else {
      ReportFile(followed.file, options_, reportWriter_.get(), out_, err_);
    }
    if (figures.stats && followed.last) {
      const TModelChanges changes = ModelChanges(*followed.last, *figures.stats);
      if (options_.form == foJsonLines) WriteChangesJsonLine(figures.path, changes, out_);
      else WriteChangesText(figures.path, changes, out_);
    }
    if (figures.stats) followed.last = figures.stats;
    out_.flush();
  }

  void Gone(const std::string& file) {
    if (options_.form == foJsonLines) out_ << "{\"kind\":\"gone\",\"path\":" << JsonPath(file) << "}\n";
    else out_ << "// " << TerminalText(RealPath(file)) << " is gone; watching for it to come back\n";
    out_.flush();
  }

 private:
  static std::string JsonPath(const std::string& file);

  const TCliOptions& options_;
  bool stats_;
  TBudgetLimits limits_;
  std::ostream& out_;
  std::ostream& err_;
  std::unique_ptr<TStatsWriter> statsWriter_;
  std::unique_ptr<TReportWriter> reportWriter_;
};

std::string TWatchRun::JsonPath(const std::string& file) { return JsonString(ValidUtf8(RealPath(file))); }

// Ctrl+C and SIGTERM arrive as a descriptor to wait on, so they end the
// wait and the run cleanly; a closed standard output is a failed write, not
// a signal that ends the program.
int StopSignals(sigset_t& previous) {
  sigset_t stops;
  sigemptyset(&stops);
  sigaddset(&stops, SIGINT);
  sigaddset(&stops, SIGTERM);
  ::sigprocmask(SIG_BLOCK, &stops, &previous);
  ::signal(SIGPIPE, SIG_IGN);
  return ::signalfd(-1, &stops, SFD_CLOEXEC);
}

}  // namespace

int RunWatch(const TCliOptions& options, bool stats, const TBudgetLimits& limits, std::ostream& out,
             std::ostream& err) {
  sigset_t previous;
  const int stop = StopSignals(previous);
  const ScopeGuard restore([&] {
    ::close(stop);
    ::sigprocmask(SIG_SETMASK, &previous, nullptr);
  });
  TWatchRun run(options, stats, limits, out, err);
  TFileWatch watch;
  std::vector<TFollowed> followed;
  for (const std::string& file : options.files) {
    followed.push_back({file, std::nullopt, false});
    watch.Add(file, NowMs());
    run.Report(followed.back(), nullptr, NowMs());
  }
  while (out) {
    int64_t now = NowMs();
    const int64_t timeout = watch.Timeout(now);
    // Standard output is watched for its reader going away.
    pollfd fds[3] = {{stop, POLLIN, 0}, {STDOUT_FILENO, 0, 0}, {watch.Descriptor(), POLLIN, 0}};
    const nfds_t count = watch.Descriptor() >= 0 ? 3 : 2;
    if (::poll(fds, count, timeout < 0 ? -1 : static_cast<int>(timeout)) < 0 && errno != EINTR)
      break;
    if (fds[0].revents != 0) {
      // Taken, so that it does not strike once the mask is restored.
      signalfd_siginfo taken;
      [[maybe_unused]] const ssize_t n = ::read(stop, &taken, sizeof taken);
      return 0;
    }
    if (fds[1].revents & (POLLERR | POLLHUP)) return 0;
    now = NowMs();
    for (const TFileNotice& notice : watch.Check(now)) {
      if (notice.kind == fnPolling) {
        err << "corvida: changes are looked for every " << TFileWatch::kPollMs << " ms, as the system sends none: "
            << notice.reason << '\n';
        continue;
      }
      for (TFollowed& f : followed) {
        if (f.file != notice.path) continue;
        if (notice.kind == fnGone) {
          f.waited = false;
          run.Gone(f.file);
        } else {
          run.Report(f, &watch, now);
        }
      }
    }
  }
  // The reader of standard output went away: that ends a watch too.
  pollfd output = {STDOUT_FILENO, 0, 0};
  if (::poll(&output, 1, 0) == 1 && (output.revents & (POLLERR | POLLHUP))) return 0;
  err << "corvida: standard output could not be written\n";
  return 1;
}

}  // namespace corvida
