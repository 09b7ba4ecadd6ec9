#pragma once

#include <cstdint>
#include <memory>

#include "job.h"

namespace tolvane::encoding {

// The one running job of the window's engine and its entry. The encoder, its output
// and the job's clock are the job's.
struct TNowEncoding {
  // Null between jobs.
  std::unique_ptr<Job> RunningJob;
  queue::TFileData* FileData = nullptr;
  // The job's time at work at its latest progress tick (0 before the first): what the batch
  // clock has shown of it, and what leaves the batch clock when the job stops or halts.
  uint32_t ShownMs = 0;

  platform::ChildProcess* Child() const {
    return RunningJob != nullptr ? RunningJob->Child() : nullptr;
  }
};

}  // namespace tolvane::encoding
