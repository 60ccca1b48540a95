#pragma once
// A tabbed container: a row of tabs over one page per tab, of which one shows at a time.
// Each tab is a container for controls, and, as in the window designs, positions on a tab
// are relative to the whole control, the row of tabs included:
//
//   tabOptions = new rt::TabControl(this, "tabOptions", 2);
//   tabOptions->SetTabCaption(0, "&Farben");
//   fraOptions = new rt::Frame(tabOptions->TabPage(0), "fraOptions");
//
// Tab is the index of the tab shown; Click runs whenever it changes, by the user or in code.
#include <QTabWidget>
#include <vector>

#include "runtime/Controls.h"

namespace rt {

class TabControl : public QTabWidget, public ControlBase {
  Q_OBJECT

 public:
  TabControl(QWidget* container, const QString& name, int tabs, int index = -1);

  int Tabs() const { return count(); }
  int Tab() const { return currentIndex(); }
  // Shows tab; an index outside 0 .. Tabs() - 1 raises the invalid-value error.
  void SetTab(int tab);
  void SetTabCaption(int tab, const QString& caption) { setTabText(tab, caption); }
  // The container of the controls on tab.
  QWidget* TabPage(int tab) const;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // Lays each page's content over the whole control, so that design positions count
  // from the control's top-left corner; the page clips away what lies under the tabs.
  void AlignPages();

  std::vector<QWidget*> contents_;
};

}  // namespace rt
