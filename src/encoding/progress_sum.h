#pragma once

namespace tolvane::encoding {

// The bytes a batch has done of its total: its finished files and the parts of its running
// ones. Both drivers show its percent and base their estimate on it. A part is what its job
// measured, so the window, which counts the MP3's growth, may pass 100; tolvane-batch clamps
// each part to its file's size before adding it.
class ProgressSum {
 public:
  ProgressSum() = default;
  ProgressSum(long double total, long double done) : total_(total), done_(done) {}

  long double Total() const { return total_; }
  long double Done() const { return done_; }
  void Add(long double bytes) { done_ += bytes; }
  // A running file's part went from `before` to `now`.
  void Move(long double before, long double now) { done_ += now - before; }
  // 0 of an empty total.
  long double Percent() const { return total_ == 0 ? 0 : done_ / total_ * 100; }

 private:
  long double total_ = 0;
  long double done_ = 0;
};

}  // namespace tolvane::encoding
