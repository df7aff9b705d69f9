#include "win32/message_box.h"

#include "text/cp1251.h"
#include "win32/wide_text.h"

namespace tw::win {

int ShowMessageBox(HWND owner, std::string_view text, std::string_view title, UINT flags) noexcept {
  try {
    const std::wstring wideText = Widen(text);
    const std::wstring wideTitle = Widen(title);
    return MessageBoxW(owner, wideText.c_str(), wideTitle.c_str(), flags);
  } catch (...) {
    return 0;
  }
}

void ShowInformation(HWND owner, std::string_view text) noexcept {
  ShowMessageBox(owner, text, cp1251("Сообщение"), MB_OK | MB_ICONINFORMATION);
}

bool AskYesNo(HWND owner, std::string_view text, UINT flags) noexcept {
  return ShowMessageBox(owner, text, cp1251("Внимание!"), MB_YESNO | flags) == IDYES;
}

void ShowError(HWND owner, std::string_view text) noexcept {
  ShowMessageBox(owner, text, cp1251("Ошибка"), MB_OK | MB_ICONSTOP);
}

}  // namespace tw::win
