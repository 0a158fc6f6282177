#pragma once
// Key codes as the game sees them: printable keys are their upper-case ASCII
// code, special keys count up from 256 in a fixed order (Esc 257, F1 258 ...).
// The window layer translates whatever the windowing library reports into these.

namespace keys {

constexpr int Space = 32;
constexpr int Special = 256;
constexpr int Esc = 257;
constexpr int F1 = 258;  // F1 .. F25 are 258 .. 282
constexpr int F2 = 259;
constexpr int F3 = 260;
constexpr int F4 = 261;
constexpr int F5 = 262;
constexpr int F6 = 263;
constexpr int F7 = 264;
constexpr int F8 = 265;
constexpr int F9 = 266;
constexpr int F25 = 282;
constexpr int Up = 283;
constexpr int Down = 284;
constexpr int Left = 285;
constexpr int Right = 286;
constexpr int LShift = 287;
constexpr int RShift = 288;
constexpr int LCtrl = 289;
constexpr int RCtrl = 290;
constexpr int LAlt = 291;
constexpr int RAlt = 292;
constexpr int Tab = 293;
constexpr int Enter = 294;
constexpr int Backspace = 295;
constexpr int Insert = 296;
constexpr int Del = 297;
constexpr int PageUp = 298;
constexpr int PageDown = 299;
constexpr int Home = 300;
constexpr int End = 301;
constexpr int Kp0 = 302;  // keypad 0 .. 9 are 302 .. 311
constexpr int KpDivide = 312;
constexpr int KpMultiply = 313;
constexpr int KpSubtract = 314;
constexpr int KpAdd = 315;
constexpr int KpDecimal = 316;
constexpr int KpEqual = 317;
constexpr int KpEnter = 318;
constexpr int KpNumLock = 319;
constexpr int CapsLock = 320;
constexpr int ScrollLock = 321;
constexpr int Pause = 322;
constexpr int LSuper = 323;
constexpr int RSuper = 324;
constexpr int Menu = 325;

constexpr int Release = 0;
constexpr int Press = 1;

// Translates a GLFW 3 key token into the game's code; -1 for keys the game
// never sees (unknown keys, F26 and above). The two "world" keys of non-US
// keyboards keep their GLFW tokens (161, 162).
int fromGlfw(int glfwKey);
// The same for a key whose active keyboard layout types `typed` (GLFW's key
// name, UTF-8, may be null): printable keys arrive as the character the
// layout gives, so "a" is A on every layout. A single ASCII character gives
// its upper-case code; anything else, and keys that are not printable
// (keypad, function keys), give fromGlfw's code.
int fromGlfw(int glfwKey, const char* typed);

}  // namespace keys
