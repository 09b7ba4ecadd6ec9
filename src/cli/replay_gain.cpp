#include "replay_gain.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "encoder/loudness.h"

namespace tolvane::cli {

namespace {

constexpr double kReference = -18.0;  // LUFS, ReplayGain 2.0's

std::string Format(const char* format, double value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// Sets `key` unless the source gave it.
void PutIfNone(tags::SongTag& tag, const char* key, const std::string& value) {
  tag.replay_gain.emplace(key, value);
}

void PutGain(tags::SongTag& tag, const char* gain_key, const char* peak_key, double loudness,
             double peak) {
  if (!std::isfinite(loudness))
    return;  // silence has no gain
  PutIfNone(tag, gain_key, Format("%.2f dB", kReference - loudness));
  PutIfNone(tag, peak_key, Format("%.6f", peak));
}

}  // namespace

std::optional<LoudnessReport> ParseLoudnessReport(const std::string& text) {
  LoudnessReport report;
  std::istringstream lines(text);
  std::string key;
  std::string value;
  bool peak = false;
  bool loudness = false;
  while (lines >> key >> value) {
    const double number = value == "-inf" ? -HUGE_VAL : std::strtod(value.c_str(), nullptr);
    if (key == "peak") {
      report.peak = number;
      peak = true;
    } else if (key == "loudness") {
      report.loudness = number;
      loudness = true;
    } else if (key == "block") {
      report.blocks.push_back(number);
    } else {
      return std::nullopt;
    }
  }
  if (!peak || !loudness)
    return std::nullopt;
  return report;
}

AlbumGains::AlbumGains(const std::vector<std::string>& folders) {
  for (const std::string& folder : folders)
    ++albums_[folder].remaining;
}

void AlbumGains::Measure(platform::FileSystem& files, const std::string& staged_mp3,
                         const std::string& folder, tags::SongTag& tag) {
  const std::string path = staged_mp3 + ".loudness";
  // A report is a few lines a second of sound: a day's holds well under 64 MiB.
  constexpr int64_t kLongestReport = int64_t{64} << 20;
  std::optional<LoudnessReport> report;
  if (const std::optional<platform::FileHead> head = files.ReadHead(path, kLongestReport);
      head && head->size == static_cast<int64_t>(head->bytes.size()))
    report = ParseLoudnessReport(head->bytes);
  // It is our own file, beside our own staged MP3; left behind it would only keep the hidden
  // folder from going, which the next run clears.
  (void)files.Delete(path);
  if (!report)
    return;
  PutGain(tag, "REPLAYGAIN_TRACK_GAIN", "REPLAYGAIN_TRACK_PEAK", report->loudness, report->peak);
  albums_[folder].reports.push_back(std::move(*report));
}

void AlbumGains::Placed(const std::string& folder, std::string mp3, tags::SongTag tag) {
  albums_[folder].placed.emplace_back(std::move(mp3), std::move(tag));
}

std::vector<std::pair<std::string, tags::SongTag>> AlbumGains::Ended(const std::string& folder) {
  Album& album = albums_[folder];
  if (--album.remaining > 0 || album.reports.empty())
    return {};
  std::vector<const std::vector<double>*> blocks;
  double peak = 0;
  for (const LoudnessReport& report : album.reports) {
    blocks.push_back(&report.blocks);
    peak = std::max(peak, report.peak);
  }
  const double loudness = encoder::GatedLoudness(blocks);
  std::vector<std::pair<std::string, tags::SongTag>> placed = std::move(album.placed);
  for (auto& [mp3, tag] : placed)
    PutGain(tag, "REPLAYGAIN_ALBUM_GAIN", "REPLAYGAIN_ALBUM_PEAK", loudness, peak);
  albums_.erase(folder);
  return placed;
}

}  // namespace tolvane::cli
