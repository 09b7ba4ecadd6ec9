#pragma once

#include <memory>
#include <string>
#include <vector>

#include "control.h"

namespace tolvane::ui {

enum class Alignment { Left, Center, Right };
enum class Bevel { None, Lowered, Raised };
// An owner-drawn panel that nobody draws shows no text: the elapsed time blinks this way.
enum class PanelStyle { Text, OwnerDraw };

class StatusBar;

class StatusPanel final {
 public:
  StatusPanel(StatusBar& bar, int width, Alignment alignment, Bevel bevel)
      : bar_(bar), width_(width), alignment_(alignment), bevel_(bevel) {}

  const std::string& Text() const { return text_; }
  void SetText(std::string text);
  int Width() const { return width_; }
  void SetWidth(int width);
  Alignment GetAlignment() const { return alignment_; }
  void SetAlignment(Alignment alignment);
  Bevel GetBevel() const { return bevel_; }
  void SetBevel(Bevel bevel);
  PanelStyle Style() const { return style_; }
  void SetStyle(PanelStyle style);

 private:
  void Notify();

  StatusBar& bar_;
  std::string text_;
  int width_;
  Alignment alignment_;
  Bevel bevel_;
  PanelStyle style_ = PanelStyle::Text;
};

// A bar of text panels laid out from the left, each with its own width; the last one takes the
// rest of the bar.
class StatusBar final : public Control {
 public:
  using Control::Control;

  StatusPanel& AddPanel(int width, Alignment alignment = Alignment::Left,
                        Bevel bevel = Bevel::Lowered, std::string text = {});
  int PanelCount() const { return static_cast<int>(panels_.size()); }
  StatusPanel& Panel(int index) const { return *panels_.at(index); }

 private:
  friend class StatusPanel;
  std::vector<std::unique_ptr<StatusPanel>> panels_;
};

}  // namespace tolvane::ui
