#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/file_system.h"
#include "platform/process.h"
#include "queue/file_data.h"

namespace tolvane::encoding {

// The one running job.
struct TNowEncoding {
  std::unique_ptr<platform::ChildProcess> ProcessInfo;
  ui::ListItem* Item = nullptr;
  queue::TFileData* FileData = nullptr;
  uint32_t StartTick = 0;
  uint32_t LastTick = 0;
  std::string OutName;
  // The output, open for reading: its size is the job's progress. Null when it could not be
  // opened (the progress then reads a size of -1).
  std::unique_ptr<platform::File> OutHandle;
};

}  // namespace tolvane::encoding
