// Message boxes with the program's titles and icons; texts are cp1251.
#pragma once

#include <string_view>

#include "win32/windows_headers.h"

namespace tw::win {

int ShowMessageBox(HWND owner, std::string_view text, std::string_view title, UINT flags) noexcept;
// OK, information icon, title "Сообщение".
void ShowInformation(HWND owner, std::string_view text) noexcept;
// Yes/No, title "Внимание!", the question icon and Yes as the default button
// unless `flags` tell otherwise; true for Yes.
bool AskYesNo(HWND owner, std::string_view text, UINT flags = MB_ICONQUESTION) noexcept;
// OK, stop icon, title "Ошибка".
void ShowError(HWND owner, std::string_view text) noexcept;

}  // namespace tw::win
