#include "status_bar.h"

namespace tolvane::ui {

void StatusPanel::SetText(std::string text) {
  if (text == text_)
    return;
  text_ = std::move(text);
  Notify();
}

void StatusPanel::SetWidth(int width) {
  if (width == width_)
    return;
  width_ = width;
  Notify();
}

void StatusPanel::SetAlignment(Alignment alignment) {
  if (alignment == alignment_)
    return;
  alignment_ = alignment;
  Notify();
}

void StatusPanel::SetBevel(Bevel bevel) {
  if (bevel == bevel_)
    return;
  bevel_ = bevel;
  Notify();
}

void StatusPanel::SetStyle(PanelStyle style) {
  if (style == style_)
    return;
  style_ = style;
  Notify();
}

void StatusPanel::Notify() {
  bar_.Changed.Emit();
}

StatusPanel& StatusBar::AddPanel(int width, Alignment alignment, Bevel bevel, std::string text) {
  panels_.push_back(std::make_unique<StatusPanel>(*this, width, alignment, bevel));
  panels_.back()->SetText(std::move(text));
  NotifyChanged();
  return *panels_.back();
}

}  // namespace tolvane::ui
