#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "queue/file_data.h"

namespace tolvane::settings {

// The job list file: "TVFILES", one record per unfinished entry (its path, options and tag),
// and the end mark -1; integers 32-bit little-endian.
inline constexpr char kJobListMagic[] = "TVFILES";

// The record bytes of one entry.
std::string JobRecord(const queue::TFileData& entry);

// Writes the unfinished entries to `path` through a synced temporary file renamed over the old
// one, so the file is always the old list or the new one, whole. No entry to write removes the
// file. False when it could not be written: the old file is then left as it was.
bool WriteJobList(platform::FileSystem& files, const std::string& path,
                  const std::vector<const queue::TFileData*>& unfinished);

// The job list file: "<state folder>/<executable's file name>.dat". The batch tool uses the
// window's ("tolvane.dat").
std::string JobListPath(const std::string& state_folder, const std::string& executable_path);

// The lock that whoever restores, continues or rewrites the job list holds meanwhile (the window
// for its whole life, tolvane-batch --continue for its run): one consumer at a time.
inline std::string JobListLockPath(const std::string& job_list_path) {
  return job_list_path + ".lock";
}

// One record as read back: the path, and the entry's options and tag.
struct JobRecordRead {
  std::string path;
  queue::TFileData fields;
};

// Gives a freshly probed entry the options and tag its record kept; the expected size follows
// the restored bitrate.
void ApplyJobRecord(const JobRecordRead& record, queue::TFileData& entry);

// Reads the records of `path` in order, calling `on_record` for each. Reading stops at the end
// mark, at the end of the file, or at a length that is negative or runs past the end; what was
// read before stays read. A file without the magic gives no record.
void ReadJobList(platform::FileSystem& files, const std::string& path,
                 const std::function<void(const JobRecordRead&)>& on_record);

}  // namespace tolvane::settings
