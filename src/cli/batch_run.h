#pragma once

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "batch_options.h"
#include "console_report.h"
#include "encoding/job.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/event_loop.h"
#include "platform/file_system.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "queue/file_data.h"
#include "queue/queue.h"
#include "replay_gain.h"
#include "sources/sound_probe.h"
#include "staging.h"
#include "tags/song_tag.h"

namespace tolvane::cli {

// Exit statuses.
inline constexpr int kAllEncoded = 0;
inline constexpr int kSomeNotEncoded = 1;
inline constexpr int kUsageError = 2;
inline constexpr int kInterrupted = 130;

// One run of the batch tool: the inputs scanned into the queue model as the window scans them,
// then up to `jobs` encoders at once, each started with the command line the window's launch
// builds; a job's end is handled as soon as its child exits.
class BatchRun final {
 public:
  struct Services {
    platform::FileSystem& files;
    const platform::Paths& paths;
    platform::Volumes& volumes;
    platform::Processes& processes;
    platform::Clock& clock;
    // Watches the encoders' ends and the interruption, and wakes for the live bar.
    platform::EventLoop& loop;
    const platform::Environment& environment;
    std::string program_folder;  // where a bare encoder name is looked for too
    std::string job_list_path;   // the window's saved queue
    int interrupt_fd = -1;       // turns readable when the user interrupts
    // Where each MP3 is written until complete.
    Staging staging;
  };

  BatchRun(const BatchOptions& options, const Services& services, ConsoleReport& report);
  int Run();

 private:
  enum class Outcome { Encoded, AlreadyDone, Skipped, Failed };

  void Collect();
  // The inputs that could not be encoded at all: not found, unreadable, unsupported.
  void ReportUnusableInputs();
  int UnusableInputs() const;
  // Keeps one input for every MP3 to be written; reports the others as skipped.
  void PlanOutputs();
  encoding::JobSettings Settings(const queue::TFileData& entry);
  // Turns each named folder of --mirror into the folder its tree is mirrored from; a message
  // when two named folders have the same name.
  std::string MirrorRoots();
  // Where the entry's MP3 goes: the output folder ("" beside the source), with --mirror the
  // source's folder below the named folder it was found in below that.
  std::string OutputFolderOf(const queue::TFileData& entry) const;
  // Why the target folder (or the hidden one in it) could not be made.
  std::string WhyNoFolder(const std::string& target) const;
  // The source's own tags, unless the run carries none over, with the user's fields over them;
  // with --replaygain, the track's measured values where the source has none.
  std::optional<tags::SongTag> TagOf(const queue::TFileData& entry);
  // With --replaygain, an ended file's album is done once all its files are: they get its values.
  void AlbumEnded(const queue::TFileData& entry, bool encoded);
  // Starts the entry's job; null when it ended before (skipped or failed).
  std::unique_ptr<encoding::Job> Start(queue::TFileData& entry);
  void Report(const encoding::Job& job, const encoding::JobResult& result);
  // Reports the jobs whose result came, and lets them go.
  void ReportEnded();
  void Record(const queue::TFileData& entry, Outcome outcome, const std::string& text);
  void ShowProgress();
  // Stops every running encoder; gives how many were stopped (an encoder whose end came first
  // is reported by its own end).
  int StopAll();
  // The last line: what was encoded, done before, skipped and failed, and `stops` after that.
  void ReportSummary(const std::string& lead, const std::string& stops);
  void SaveRemainingJobList();

  const BatchOptions& options_;
  Services s_;
  ConsoleReport& report_;
  queue::Queue queue_{s_.files, s_.paths, sources::BundledSourceKinds()};
  std::vector<queue::TFileData*> work_;
  std::vector<queue::TFileData*> from_job_list_;
  std::vector<std::pair<std::string, std::string>> unsupported_;  // with why
  std::vector<std::string> missing_;
  // Inputs and folders that are there but cannot be read, with the system's words for why.
  std::vector<std::pair<std::string, std::string>> unreadable_;
  // The output folder as given, made absolute against the current folder.
  std::string output_folder_;
  std::string encoder_;
  std::string version_label_;
  std::set<std::string> destination_folders_;  // where this run puts MP3 files
  // With --mirror: the named folder (with its separator) that each entry was found in.
  std::map<const queue::TFileData*, std::string> mirror_roots_;
  std::vector<std::unique_ptr<encoding::Job>> running_;
  std::optional<AlbumGains> album_gains_;
  // The tag each file got as its job finished, for its album's values later.
  std::map<const queue::TFileData*, std::optional<tags::SongTag>> given_tags_;
  bool album_tag_failed_ = false;
  // Jobs that reported their result, to be reported and let go.
  std::vector<std::pair<encoding::Job*, encoding::JobResult>> ended_;
  bool interrupted_ = false;
  std::vector<const queue::TFileData*> encoded_;
  int already_done_ = 0;
  int skipped_ = 0;
  std::vector<int64_t> shard_bytes_;  // of every shard of this run's library
  std::vector<int> shard_files_;
  int failed_ = 0;
  int stopped_ = 0;
  int64_t total_bytes_ = 0;  // of every file to encode
  int64_t finished_bytes_ = 0;
  double finished_seconds_ = 0;
  int finished_files_ = 0;
  uint32_t batch_start_ = 0;
};

}  // namespace tolvane::cli
