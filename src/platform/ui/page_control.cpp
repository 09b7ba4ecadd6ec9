#include "page_control.h"

#include <algorithm>

namespace tolvane::ui {

namespace {
// The frame and tab row of a page control, as the classic toolkit drew them.
constexpr int kTabRowHeight = 24;
constexpr int kFrame = 4;
}  // namespace

TabSheet::TabSheet(std::string name, PageControl* owner, std::string caption)
    : Control(std::move(name), owner), owner_(owner), caption_(std::move(caption)) {
  owner_->AddPage(this);
}

void PageControl::AddPage(TabSheet* page) {
  pages_.push_back(page);
  page->SetBounds(PageRect());
  if (active_ == nullptr)
    active_ = page;
  NotifyChanged();
}

int PageControl::ActivePageIndex() const {
  const auto found = std::find(pages_.begin(), pages_.end(), active_);
  return found == pages_.end() ? -1 : static_cast<int>(found - pages_.begin());
}

void PageControl::SetActivePage(TabSheet* page) {
  if (page == active_)
    return;
  active_ = page;
  NotifyChanged();
  OnChange.Emit();
}

void PageControl::SelectTab(int index) {
  if (index >= 0 && index < static_cast<int>(pages_.size()))
    SetActivePage(pages_[index]);
}

void PageControl::Realign() {
  for (TabSheet* page : pages_)
    page->SetBounds(PageRect());
}

Rect PageControl::PageRect() const {
  return {kFrame, kTabRowHeight, Width() - 2 * kFrame, Height() - kTabRowHeight - kFrame};
}

}  // namespace tolvane::ui
