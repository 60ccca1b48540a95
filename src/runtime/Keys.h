#pragma once
// Key codes and shift masks as the key handlers receive them: the Windows
// virtual-key codes, and Shift 1, Ctrl 2, Alt 4 added up.
#include <Qt>

namespace rt {

namespace Key {
inline constexpr int Back = 8;
inline constexpr int Tab = 9;
inline constexpr int Return = 13;
inline constexpr int Shift = 16;
inline constexpr int Control = 17;
inline constexpr int Menu = 18;
inline constexpr int Escape = 27;
inline constexpr int Space = 32;
inline constexpr int PageUp = 33;
inline constexpr int PageDown = 34;
inline constexpr int End = 35;
inline constexpr int Home = 36;
inline constexpr int Left = 37;
inline constexpr int Up = 38;
inline constexpr int Right = 39;
inline constexpr int Down = 40;
inline constexpr int Insert = 45;
inline constexpr int Delete = 46;
inline constexpr int F1 = 112;  // F2 = 113 ... F12 = 123
inline constexpr int F2 = 113;
inline constexpr int F5 = 116;
inline constexpr int F6 = 117;
inline constexpr int F8 = 119;
inline constexpr int F9 = 120;
inline constexpr int F12 = 123;
}  // namespace Key

inline constexpr int kShiftMask = 1;
inline constexpr int kCtrlMask = 2;
inline constexpr int kAltMask = 4;

// Mouse buttons as the mouse handlers receive them.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;

// The virtual-key code of a Qt key; 0 for keys without one.
int VirtualKeyCode(int qtKey);
// The Shift/Ctrl/Alt mask of Qt keyboard modifiers.
int ShiftMask(Qt::KeyboardModifiers modifiers);
// The button mask of Qt mouse buttons.
int ButtonMask(Qt::MouseButtons buttons);

}  // namespace rt
