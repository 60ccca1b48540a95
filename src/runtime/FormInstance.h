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
    return *current_;
  }

 protected:
  FormInstance() { current_ = static_cast<T*>(this); }
  ~FormInstance() {
    if (current_ == this) current_ = nullptr;
  }
  FormInstance(const FormInstance&) = delete;
  FormInstance& operator=(const FormInstance&) = delete;

 private:
  static inline T* current_ = nullptr;
};

}  // namespace rt
