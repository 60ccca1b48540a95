#include "runtime/TabControl.h"

#include <QStackedWidget>

#include "runtime/RuntimeError.h"

namespace rt {

namespace {
constexpr int ErrInvalidPropertyValue = 380;
}  // namespace

TabControl::TabControl(QWidget* container, const QString& name, int tabs, int index)
    : QTabWidget(ContainerOf(container)), ControlBase(this, name, index) {
  for (int tab = 0; tab < tabs; ++tab) {
    auto* page = new QWidget;
    // A tab's page has the window's colour, as the controls on it have.
    auto* content = new QWidget(page);
    content->setAutoFillBackground(true);
    content->setBackgroundRole(QPalette::Window);
    contents_.push_back(content);
    addTab(page, QStringLiteral("Tab %1").arg(tab));
  }
  connect(this, &QTabWidget::currentChanged, this, [this] {
    AlignPages();
    Fire(Click);
  });
  show();
}

void TabControl::SetTab(int tab) {
  if (tab < 0 || tab >= count()) throw RuntimeError(ErrInvalidPropertyValue, QStringLiteral("Ungültiger Eigenschaftswert"));
  setCurrentIndex(tab);
}

QWidget* TabControl::TabPage(int tab) const {
  if (tab < 0 || tab >= count()) throw RuntimeError(ErrSubscript);
  return contents_[static_cast<size_t>(tab)];
}

void TabControl::resizeEvent(QResizeEvent* event) {
  QTabWidget::resizeEvent(event);
  AlignPages();
}

void TabControl::showEvent(QShowEvent* event) {
  QTabWidget::showEvent(event);
  AlignPages();
}

void TabControl::AlignPages() {
  for (QWidget* content : contents_) {
    const QWidget* page = content->parentWidget();
    content->setGeometry(QRect(-page->mapTo(this, QPoint(0, 0)), size()));
  }
}

}  // namespace rt
