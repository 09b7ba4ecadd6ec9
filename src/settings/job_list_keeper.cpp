#include "job_list_keeper.h"

#include "job_list.h"
#include "queue/file_data.h"

namespace tolvane::settings {

JobListKeeper::JobListKeeper(Services services) : s_(std::move(services)) {
  s_.timer.OnTimer = [this] { WriteNow(); };
  queue_changes_ = s_.queue.RowsChanged.Connect(
      [this](const platform::RowsChange& change) { FromQueue(change); });
}

void JobListKeeper::FromQueue(const platform::RowsChange& change) {
  if (change.kind != platform::RowsChange::Kind::Row) {
    Request();
    return;
  }
  // A row's progress changes every second; only a job's end changes what is unfinished.
  if (change.index >= 0 && change.index < s_.queue.Count()) {
    const std::string& status = s_.queue.Item(change.index).SubItem(0);
    if (queue::IsFinished(status) || status == queue::status::kSkipped)
      Request();
  }
}

void JobListKeeper::Request() {
  if (s_.enabled())
    s_.timer.SetEnabled(true);
}

void JobListKeeper::WriteNow() {
  s_.timer.SetEnabled(false);
  if (!s_.enabled())
    return;
  if (!WriteJobList(s_.files, s_.path, queue::Unfinished(s_.queue)))
    s_.log("cannot write the job list " + s_.path);
}

}  // namespace tolvane::settings
