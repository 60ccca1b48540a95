#pragma once
// Each window of the game exists once: created on first use and kept. A window class
// derives from FormInstance<itself>; The() then returns the window, or the one a test
// created last.
namespace rt {

template <class T>
class FormInstance {
 public:
  static T& The() {
    if (!current_) new T;
    return *static_cast<T*>(current_);
  }

 protected:
  // Noted as the base: the window is not a T yet while this runs.
  FormInstance() { current_ = this; }
  ~FormInstance() {
    if (current_ == this) current_ = nullptr;
  }
  FormInstance(const FormInstance&) = delete;
  FormInstance& operator=(const FormInstance&) = delete;

 private:
  static inline FormInstance* current_ = nullptr;
};

}  // namespace rt
