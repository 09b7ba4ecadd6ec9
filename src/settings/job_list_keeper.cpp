#include "job_list_keeper.h"

#include "job_list.h"
#include "queue/file_data.h"

namespace tolvane::settings {

JobListKeeper::JobListKeeper(Services services) : s_(std::move(services)) {
  s_.timer.OnTimer = [this] { WriteNow(); };
  queue_changes_ = s_.queue.Changed.Connect([this](const queue::EntryChange& change) {
    // A running job's percent changes every second and changes nothing the file holds.
    if (change.kind != queue::EntryChange::Kind::Progress)
      Request();
  });
}

void JobListKeeper::Request() {
  if (s_.enabled())
    s_.timer.SetEnabled(true);
}

void JobListKeeper::WriteNow() {
  s_.timer.SetEnabled(false);
  if (!s_.enabled())
    return;
  if (!WriteJobList(s_.files, s_.path, s_.queue.Unfinished()))
    s_.log("cannot write the job list " + s_.path);
}

}  // namespace tolvane::settings
