#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "tags/song_tag.h"

namespace tolvane::cli {

// What the encoder measured of one file (bladeenc -LOUDNESS): its sample peak (1 is full scale),
// its integrated loudness (LUFS) and the loudness of its 400 ms blocks at 100 ms steps.
struct LoudnessReport {
  double peak = 0;
  double loudness = 0;
  std::vector<double> blocks;
};

// Reads the encoder's report; nullopt for one that is not whole.
std::optional<LoudnessReport> ParseLoudnessReport(const std::string& text);

// tolvane-batch --replaygain: ReplayGain 2.0 (reference -18 LUFS) from the encoder's reports. A
// file's report is read as its job finishes and gives its track's gain and peak; its album is its
// source's folder, and once every file of a folder has ended, the folder's MP3 files get the
// album's gain and peak. Each value goes only where the source gave none.
class AlbumGains final {
 public:
  // The folders of the files to encode, each as often as it has files.
  explicit AlbumGains(const std::vector<std::string>& folders);

  // Reads and deletes the report beside a staged MP3; its track's values go into `tag`, and it
  // counts for the album of `folder`. A missing or damaged report leaves the tag as it was.
  void Measure(platform::FileSystem& files, const std::string& staged_mp3,
               const std::string& folder, tags::SongTag& tag);
  // The folder's MP3 now at `mp3` carries `tag`.
  void Placed(const std::string& folder, std::string mp3, tags::SongTag tag);
  // A file of `folder` has ended, whatever became of it. Once all have: the folder's placed MP3
  // files, each with its tag and the album's values.
  std::vector<std::pair<std::string, tags::SongTag>> Ended(const std::string& folder);

 private:
  struct Album {
    int remaining = 0;
    std::vector<LoudnessReport> reports;
    std::vector<std::pair<std::string, tags::SongTag>> placed;
  };
  std::map<std::string, Album> albums_;
};

}  // namespace tolvane::cli
