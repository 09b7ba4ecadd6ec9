#include "selection_summary.h"

#include <cmath>

#include "platform/number_text.h"
#include "queue/file_data.h"
#include "queue/names.h"

namespace tolvane::queue {

namespace {

// The wave bar's panels: one entry's channels, rate and bits, or the count of several; then the
// length, the size and the expected MP3 size of the selection.
enum WavePanel : int { kChannels, kRate, kBitsOrCount, kLength, kSize, kRequired };

std::string FlagsOf(const TFileData& e) {
  return FlagsCaption(e.DeleteFlag, e.CRCFlag, e.PrivateFlag, e.CopyrightFlag, e.CopyFlag);
}

void SetOptionButton(ui::SpeedButton& button, bool enabled, const std::string& caption) {
  button.SetEnabled(enabled);
  button.SetCaption(caption);
}

std::string Kilobytes(int64_t bytes) {
  return std::to_string(platform::RoundHalfEven(static_cast<long double>(bytes) / 1024.0L)) + "kb";
}

}  // namespace

std::string MinutesSeconds(int64_t seconds) {
  return platform::ZeroPadded(seconds / 60, 2) + ":" + platform::ZeroPadded(seconds % 60, 2);
}

std::string FlagsCaption(bool delete_flag, bool crc, bool private_bit, bool copyright, bool copy) {
  std::string caption = " ";
  caption += delete_flag ? 'd' : '_';
  caption += crc ? 's' : '_';
  caption += "  ";
  caption += private_bit ? 'p' : '_';
  caption += copyright ? 'r' : '_';
  caption += copy ? 'c' : '_';
  return caption;
}

void ShowSelectionSummary(const Selection& selection, const SummaryControls& c) {
  ui::StatusBar& bar = c.wave_bar;
  const std::vector<TFileData*> entries = selection.SelectedEntries();
  const auto selected = static_cast<int>(entries.size());
  if (selected == 0) {
    for (int i = 0; i < 6; ++i)
      bar.Panel(i).SetText("");
    c.tag.SetEnabled(false);
    for (ui::SpeedButton* button : {&c.bitrate, &c.priority, &c.stereo, &c.flags}) {
      SetOptionButton(*button, false, "");
    }
    return;
  }
  const TFileData* first = entries.front();

  if (selected == 1) {
    const TFileData& e = *first;
    bar.Panel(kChannels).SetBevel(ui::Bevel::Lowered);
    bar.Panel(kRate).SetBevel(ui::Bevel::Lowered);
    bar.Panel(kChannels).SetText(e.Channels % 2 == 1 ? "Mono" : "Stereo");
    bar.Panel(kRate).SetText(std::to_string(e.SampleRate) + "Hz");
    bar.Panel(kBitsOrCount).SetText(std::to_string(e.BitsPerSample) + "-bit");
    bar.Panel(kLength).SetText(MinutesSeconds(e.Duration));
    bar.Panel(kSize).SetText(Kilobytes(e.FileSize));
    bar.Panel(kRequired).SetText(Kilobytes(e.RequiredSize));
    c.tag.SetEnabled(true);
    SetOptionButton(c.bitrate, !e.Started, std::to_string(e.Bitrate) + "kbps");
    SetOptionButton(c.priority, !e.Started, PriorityName(e.Priority));
    SetOptionButton(c.flags, !e.Started, FlagsOf(e));
    SetOptionButton(c.stereo, !e.Started, StereoName(e.StereoMode));
    return;
  }

  bar.Panel(kChannels).SetBevel(ui::Bevel::None);
  bar.Panel(kRate).SetBevel(ui::Bevel::None);
  bar.Panel(kChannels).SetText("");
  bar.Panel(kRate).SetText("");
  bar.Panel(kBitsOrCount).SetText(platform::CountText(selected));

  double durations = 0;
  double sizes = 0;
  double required = 0;
  bool any_started = false;
  bool same_bitrate = true;
  bool same_priority = true;
  bool same_stereo = true;
  bool same_flags = true;
  for (const TFileData* e : entries) {
    durations += e->Duration;
    sizes += static_cast<double>(e->FileSize);
    required += static_cast<double>(e->RequiredSize);
    any_started = any_started || e->Started;
    same_bitrate = same_bitrate && e->Bitrate == first->Bitrate;
    same_priority = same_priority && e->Priority == first->Priority;
    same_stereo = same_stereo && e->StereoMode == first->StereoMode;
    same_flags = same_flags && FlagsOf(*e) == FlagsOf(*first);
  }
  bar.Panel(kLength).SetText(MinutesSeconds(platform::RoundHalfEven(durations)));
  bar.Panel(kSize).SetText(platform::MegabytesText(sizes));
  bar.Panel(kRequired).SetText(platform::MegabytesText(required));
  c.tag.SetEnabled(false);
  SetOptionButton(c.bitrate, !any_started,
                  same_bitrate ? std::to_string(first->Bitrate) + "kbps" : "Various");
  SetOptionButton(c.priority, !any_started,
                  same_priority ? PriorityName(first->Priority) : "Various");
  SetOptionButton(c.flags, !any_started, same_flags ? FlagsOf(*first) : "various");
  SetOptionButton(c.stereo, !any_started, same_stereo ? StereoName(first->StereoMode) : "Various");
}

}  // namespace tolvane::queue
