#include "runtime/Keys.h"

#include <utility>

namespace rt {

int VirtualKeyCode(int qtKey) {
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return 'A' + (qtKey - Qt::Key_A);
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return '0' + (qtKey - Qt::Key_0);
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return Key::F1 + (qtKey - Qt::Key_F1);
  static constexpr std::pair<int, int> kKeys[] = {
      {Qt::Key_Backspace, Key::Back}, {Qt::Key_Tab, Key::Tab},         {Qt::Key_Backtab, Key::Tab},
      {Qt::Key_Return, Key::Return},  {Qt::Key_Enter, Key::Return},    {Qt::Key_Shift, Key::Shift},
      {Qt::Key_Control, Key::Control}, {Qt::Key_Alt, Key::Menu},       {Qt::Key_Escape, Key::Escape},
      {Qt::Key_Space, Key::Space},    {Qt::Key_PageUp, Key::PageUp},   {Qt::Key_PageDown, Key::PageDown},
      {Qt::Key_End, Key::End},        {Qt::Key_Home, Key::Home},       {Qt::Key_Left, Key::Left},
      {Qt::Key_Up, Key::Up},          {Qt::Key_Right, Key::Right},     {Qt::Key_Down, Key::Down},
      {Qt::Key_Insert, Key::Insert},  {Qt::Key_Delete, Key::Delete},
  };
  for (const auto& [qt, vk] : kKeys)
    if (qt == qtKey) return vk;
  return 0;
}

int ShiftMask(Qt::KeyboardModifiers modifiers) {
  return (modifiers.testFlag(Qt::ShiftModifier) ? kShiftMask : 0) |
         (modifiers.testFlag(Qt::ControlModifier) ? kCtrlMask : 0) |
         (modifiers.testFlag(Qt::AltModifier) ? kAltMask : 0);
}

int ButtonMask(Qt::MouseButtons buttons) {
  return (buttons.testFlag(Qt::LeftButton) ? kLeftButton : 0) |
         (buttons.testFlag(Qt::RightButton) ? kRightButton : 0) |
         (buttons.testFlag(Qt::MiddleButton) ? kMiddleButton : 0);
}

}  // namespace rt
