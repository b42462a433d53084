#include "windows/character_box.h"

using namespace platform;

void characterMessageBox(Platform& os, Window& character, const std::string& text, const std::string& title) {
  constexpr std::uint32_t keepPlace = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE;
  os.SetWindowPos(character.hWnd(), HWND_NOTOPMOST, 0, 0, 0, 0, keepPlace);
  os.messageBox(text, title, MB_OK);
  os.SetWindowPos(character.hWnd(), HWND_TOPMOST, 0, 0, 0, 0, keepPlace);
}
