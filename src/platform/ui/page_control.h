#pragma once

#include <string>
#include <vector>

#include "control.h"
#include "platform/signal.h"

namespace tolvane::ui {

class PageControl;

// One page of a PageControl; its children are placed in the page's client area.
class TabSheet final : public Control {
 public:
  TabSheet(std::string name, PageControl* owner, std::string caption);
  const std::string& Caption() const { return caption_; }
  PageControl& Owner() const { return *owner_; }

 private:
  PageControl* owner_;
  std::string caption_;
};

// Pages with tabs; exactly one page shows at a time.
class PageControl final : public Control {
 public:
  using Control::Control;

  const std::vector<TabSheet*>& Pages() const { return pages_; }
  TabSheet* ActivePage() const { return active_; }
  int ActivePageIndex() const;
  // Shows `page`; the user's choice of a tab comes here too, and raises OnChange.
  void SetActivePage(TabSheet* page);
  void SelectTab(int index);

  // The area of a page inside the control: below the tabs, inside the frame.
  Rect PageRect() const;

  platform::Signal<> OnChange;

 protected:
  void Realign() override;

 private:
  friend class TabSheet;
  void AddPage(TabSheet* page);

  std::vector<TabSheet*> pages_;
  TabSheet* active_ = nullptr;
};

}  // namespace tolvane::ui
