#pragma once

#include <cstdint>
#include <memory>

#include "job.h"
#include "platform/rows.h"

namespace tolvane::encoding {

// The one running job of the window's engine, its row and its entry. The encoder, its output
// and the job's clock are the job's.
struct TNowEncoding {
  // Null between jobs.
  std::unique_ptr<Job> RunningJob;
  platform::ListItem* Item = nullptr;
  queue::TFileData* FileData = nullptr;

  platform::ChildProcess* Child() const {
    return RunningJob != nullptr ? RunningJob->Child() : nullptr;
  }
};

}  // namespace tolvane::encoding
