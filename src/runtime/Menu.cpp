#include "runtime/Menu.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMenu>
#include <QProxyStyle>
#include <QWidget>

#include "runtime/ErrorBox.h"

namespace rt {

namespace {

class MenuBarStyle : public QProxyStyle {
 public:
  QIcon standardIcon(StandardPixmap pixmap, const QStyleOption* option, const QWidget* widget) const override {
    if (pixmap == SP_ToolBarHorizontalExtensionButton) return QIcon(standardPixmap(pixmap, option, widget));
    return QProxyStyle::standardIcon(pixmap, option, widget);
  }
};

}  // namespace

void UseMenuBarStyle() { QApplication::setStyle(new MenuBarStyle); }

MenuItem::MenuItem(QObject* parent, const QString& name, QAction* action, QMenu* menu, QWidget* window)
    : QObject(parent), action_(action), menu_(menu), window_(window) {
  setObjectName(name);
  action_->setObjectName(name);
  if (menu_) {
    menu_->setObjectName(name);
    connect(menu_, &QMenu::aboutToShow, this, [this] {
      if (Click) RunHandler(Click, this);
    });
    return;
  }
  connect(action_, &QAction::triggered, this, [this](bool checked) {
    // The check mark is the program's to set: choosing an item does not toggle it.
    if (action_->isCheckable()) action_->setChecked(!checked);
    if (Click) RunHandler(Click, this);
  });
}

MenuItem* MenuItem::AddItem(const QString& name, const QString& caption, const QString& shortcut) {
  if (caption == QStringLiteral("-")) return new MenuItem(this, name, menu_->addSeparator(), nullptr, window_);
  QAction* action = menu_->addAction(caption);
  if (!shortcut.isEmpty()) {
    action->setShortcut(QKeySequence::fromString(shortcut, QKeySequence::PortableText));
    action->setShortcutContext(Qt::WindowShortcut);
    // The window carries the shortcut too, so it works while the menu is closed.
    window_->addAction(action);
  }
  return new MenuItem(this, name, action, nullptr, window_);
}

bool MenuItem::Enabled() const { return action_->isEnabled(); }
void MenuItem::SetEnabled(bool enabled) { action_->setEnabled(enabled); }
bool MenuItem::Checked() const { return action_->isChecked(); }

void MenuItem::SetChecked(bool checked) {
  action_->setCheckable(true);
  action_->setChecked(checked);
}

}  // namespace rt
