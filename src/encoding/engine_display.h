#pragma once

#include <string>

namespace tolvane::encoding {

// The figures of one progress tick, as the displays show them.
struct ProgressFigures {
  std::string free_space;      // of the watched volume: "4321mb" or "Unknown"
  std::string running_number;  // the running row's number: "005"
  std::string elapsed;         // the batch's time: "00:01:00"
  std::string speed;           // "3.52x"
  std::string estimate;        // time left, of the file or of the batch: "00:03:00"
  int batch_percent = 0;       // whole, may pass 100
};

// What the batch engine shows. The window implements it with its buttons, status bars and
// title; a tool without a window prints what it needs. Row statuses are not here: they are the
// queue model's.
class EngineDisplay {
 public:
  virtual ~EngineDisplay() = default;
  // No job runs: Encode enabled and up, Stop and Pause disabled and up, the running figures at
  // zero, the title as saved. The elapsed time, the Encode caption and the count stay.
  virtual void ShowIdle() = 0;
  // A job was launched: Encode disabled, Stop and Pause enabled.
  virtual void ShowRunning() = 0;
  // The batch finished ("Reset": the next Encode queues everything again) or not ("Encode").
  virtual void ShowFinished(bool finished) = 0;
  // A stop is on its way ("Stoping...") or over ("Stop").
  virtual void ShowStopping(bool stopping) = 0;
  // A stop or a close was declined: Encode is pressed again.
  virtual void ShowStopDeclined() = 0;
  virtual void ShowProgress(const ProgressFigures& figures) = 0;
  // The batch's elapsed time on its own (a Reset clears it).
  virtual void ShowElapsed(const std::string& elapsed) = 0;
  // While paused the elapsed time blinks: shown or hidden at each tick, shown after the pause.
  virtual void ShowElapsedVisible(bool visible) = 0;
  // The queue's row count ("012") and the space its MP3 files need on the watched volume.
  virtual void ShowTotals(const std::string& count, const std::string& required) = 0;
  // The target folder's text gained its trailing separator.
  virtual void ShowOutputFolder(const std::string& folder) = 0;
  // An entry's Started flag changed: the summary of the selected rows is out of date.
  virtual void RefreshSelection() = 0;
};

}  // namespace tolvane::encoding
