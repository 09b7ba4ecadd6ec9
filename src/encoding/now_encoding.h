#pragma once

#include <cstdint>
#include <memory>

#include "job.h"
#include "platform/rows.h"

namespace tolvane::encoding {

// The one running job of the window's engine: its row, its entry and its clock. The encoder's
// process, its output's name and its watched output are the job's.
struct TNowEncoding {
  // Null between jobs.
  std::unique_ptr<Job> RunningJob;
  platform::ListItem* Item = nullptr;
  queue::TFileData* FileData = nullptr;
  uint32_t StartTick = 0;
  uint32_t LastTick = 0;

  platform::ChildProcess* Child() const {
    return RunningJob != nullptr ? RunningJob->Child() : nullptr;
  }
};

}  // namespace tolvane::encoding
