#pragma once
// Menu items of a window's menu bar. A window builds its menus in Design():
//
//   menGame = AddMenu("menGame", "&Spiel");
//   menGameNew = menGame->AddItem("menGameNew", "&Neu", "F2");
//   menGame->AddItem("menSep1", "-");                 // a separator
//   menGameNew->Click = [this] { menGameNew_Click(); };
//
// Shortcuts are written as "F2", "Del", "Shift+Del", "Ctrl+N"; a shortcut runs the
// item's Click only while the item is enabled and visible.
#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace rt {

class MenuItem : public QObject {
  Q_OBJECT

 public:
  // A command item in this menu; caption "-" makes a separator.
  MenuItem* AddItem(const QString& name, const QString& caption, const QString& shortcut = {});

  bool Enabled() const;
  void SetEnabled(bool enabled);
  bool Checked() const;
  void SetChecked(bool checked);

  // Runs when the item is chosen (for a menu: when it opens).
  std::function<void()> Click;

  // Made by Form::AddMenu and the Add functions above.
  MenuItem(QObject* parent, const QString& name, QAction* action, QMenu* menu, QWidget* window);

 private:
  QAction* action_;
  QMenu* menu_;
  QWidget* window_;
};

// Sets the application's style before any window is made: the platform's own, except that
// a menu bar's extension button (made with every menu bar) shows the style's built-in
// arrow. The platform style reads that icon from picture files through a reader that
// loads every image plugin installed to ask whether one of them reads it.
void UseMenuBarStyle();

}  // namespace rt
