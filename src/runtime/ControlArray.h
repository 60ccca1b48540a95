#pragma once
// A control array: controls of one name told apart by an index that every handler
// receives. The window creates the design-time elements in Design() and binds the
// handlers once for all elements, present and future:
//
//   rt::ControlArray<rt::PictureBox> picOnBoard{"picOnBoard"};
//   ...
//   picOnBoard.Create(picGameBackground, 0).Move(0, 0, 480, 480);   // element 0 first
//   picOnBoard.On(&rt::PictureBox::Click, [this](int Index) { picOnBoard_Click(Index); });
//   picOnBoard.On(&rt::PictureBox::MouseDown,
//                 [this](int Index, int Button, int Shift, double X, double Y) { ... });
//   ...
//   picOnBoard.Load(k);          // a hidden copy of element 0
//   picOnBoard(k).SetVisible(true);
#include <QPointer>
#include <QWidget>
#include <QString>
#include <functional>
#include <map>
#include <type_traits>
#include <vector>

#include "runtime/RuntimeError.h"

namespace rt {

enum ControlArrayError : int {
  ErrNoSuchElement = 340,
  ErrAlreadyLoaded = 360,
  ErrCannotUnloadDesign = 362,
};

template <class T>
class ControlArray {
 public:
  explicit ControlArray(QString name) : name_(std::move(name)) {}
  ControlArray(const ControlArray&) = delete;
  ControlArray& operator=(const ControlArray&) = delete;

  // Creates the design-time element index in container. Element 0 comes first: it
  // starts the array afresh (elements and bindings), as Design() runs at every load.
  T& Create(QWidget* container, int index) {
    if (index == 0) {
      elements_.clear();
      binders_.clear();
    }
    if (Exists(index)) throw RuntimeError(ErrAlreadyLoaded);
    return Add(index, new T(container, name_, index), false);
  }

  // Loads element index at run time: a copy of element 0 in element 0's container,
  // with its size, position, picture, font and colours, but hidden.
  T& Load(int index) {
    if (Exists(index)) throw RuntimeError(ErrAlreadyLoaded);
    T& first = (*this)(0);
    T* control = new T(first.Widget()->parentWidget(), name_, index);
    control->CopyFrom(first);
    control->SetVisible(false);
    StackAboveLowerElement(index, control);
    return Add(index, control, true);
  }

  // Unloads an element loaded at run time (design-time elements stay: error 362).
  void Unload(int index) {
    auto it = elements_.find(index);
    if (it == elements_.end() || !it->second.Alive()) throw RuntimeError(ErrNoSuchElement);
    if (!it->second.loadedAtRunTime) throw RuntimeError(ErrCannotUnloadDesign);
    T* control = it->second.control;
    elements_.erase(it);
    control->SetVisible(false);
    control->Widget()->deleteLater();
  }

  // The element; error 340 when it does not exist.
  T& operator()(int index) const {
    auto it = elements_.find(index);
    if (it == elements_.end() || !it->second.Alive()) throw RuntimeError(ErrNoSuchElement);
    return *it->second.control;
  }
  bool Exists(int index) const {
    auto it = elements_.find(index);
    return it != elements_.end() && it->second.Alive();
  }

  // Binds an event of every element, now and loaded later, to a handler that gets
  // the element's index first, then the event's own arguments.
  template <class Owner, class... Args>
    requires std::is_base_of_v<Owner, T>
  void On(std::function<void(Args...)> Owner::*event,
          std::type_identity_t<std::function<void(int, Args...)>> handler) {
    auto bind = [event, handler](T& control, int index) {
      control.*event = [handler, index](Args... args) { handler(index, args...); };
    };
    binders_.push_back(bind);
    for (auto& [index, element] : elements_)
      if (element.Alive()) bind(*element.control, index);
  }

 private:
  struct Element {
    QPointer<QWidget> widget;  // null once the window was unloaded
    T* control = nullptr;
    bool loadedAtRunTime = false;
    bool Alive() const { return !widget.isNull(); }
  };

  T& Add(int index, T* control, bool loadedAtRunTime) {
    elements_[index] = Element{control->Widget(), control, loadedAtRunTime};
    for (auto& bind : binders_) bind(*control, index);
    return *control;
  }

  // A loaded element stacks right above the element below it, so that controls
  // placed over the array at design time stay in front of it.
  void StackAboveLowerElement(int index, T* control) {
    auto below = elements_.lower_bound(index);
    if (below == elements_.begin() || !std::prev(below)->second.Alive()) return;
    QWidget* lower = std::prev(below)->second.control->Widget();
    const QObjectList siblings = lower->parentWidget()->children();
    const qsizetype at = siblings.indexOf(lower);
    for (qsizetype i = at + 1; i < siblings.size(); ++i) {
      auto* widget = qobject_cast<QWidget*>(siblings[i]);
      if (!widget || widget == control->Widget() || widget->isWindow()) continue;
      control->Widget()->stackUnder(widget);
      return;
    }
  }

  QString name_;
  std::map<int, Element> elements_;
  std::vector<std::function<void(T&, int)>> binders_;
};

}  // namespace rt
