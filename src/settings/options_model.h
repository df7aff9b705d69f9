// The behaviour of the options window Options: fields from and to Settings,
// the profile list with "Очистить...", the anonymous-mode layout, user.dat
// and the ID help balloon. The Win32 view only carries it out.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "settings/program_values.h"
#include "settings/settings.h"
#include "text/cp1251.h"

namespace tw {

inline constexpr auto kOptionsCaption = cp1251("Настройки");
inline constexpr auto kClearProfilesEntry = cp1251("Очистить...");
inline constexpr auto kPicture5Tooltip = cp1251("Что такое ID?");
inline constexpr auto kOptionsHistoryLink = cp1251("История изменений");

// The texts of the ID help balloon.
std::string IDHelpTitle();
std::string IDHelpText();
// The question before the other profiles' snapshots are deleted.
std::string ClearProfilesQuestion(const std::string& id);
// Why the accept button left the window open.
inline constexpr auto kBadProfileIdMessage = cp1251(
    "ID пользователя должен состоять только из цифр (например, 123456). Исправьте ID или оставьте поле "
    "пустым.");
inline constexpr auto kSettingsNotSavedMessage = cp1251(
    "Не удалось записать настройки в файл options.ini. Проверьте, что папка программы доступна для записи, "
    "и нажмите кнопку ещё раз.");
inline constexpr auto kSettingsNotSavedUserFileChangedMessage = cp1251(
    "Не удалось записать настройки в файл options.ini, а прежний файл user.dat вернуть не удалось: логин и "
    "пароль в нём уже новые. Проверьте, что папка программы доступна для записи, и нажмите кнопку ещё раз.");
inline constexpr auto kCheckTaskNotRegisteredMessage = cp1251(
    "Не удалось создать задание ежедневной проверки в Планировщике заданий Windows. Настройки не сохранены.");
inline constexpr auto kCheckTaskNotDeletedMessage = cp1251(
    "Не удалось удалить задание ежедневной проверки из Планировщика заданий Windows. Настройки не "
    "сохранены.");
inline constexpr auto kAutoCheckLabel = cp1251("Проверять автоматически каждый день в");
inline constexpr auto kUserFileNotDeletedMessage =
    cp1251("Не удалось удалить файл user.dat с сохранёнными логином и паролем. Настройки не сохранены.");

enum class OptionsTimer { Timer1 = 1, Timer2 };
inline constexpr int kOptionsTimerInterval = 10;

// The button pictures: Picture1/2 accept (normal/pointer over), Picture3/4
// cancel.
enum class OptionsPicture { Picture1 = 1, Picture2, Picture3, Picture4 };

// Every field the window edits, in cp1251.
struct OptionsFields {
  std::string Combo1;   // ID
  bool Check1 = false;  // Guest
  std::string Text1;    // Login
  std::string Text2;    // Password
  bool Check2 = false;  // SaveLoginPassword
  bool Check3 = false;  // UseProxy
  std::string Text3;    // ProxyHost
  std::string Text4;    // ProxyPort
  bool Check4 = false;  // ProxyAuth
  std::string Text5;    // ProxyLogin
  std::string Text6;    // ProxyPass
  bool Check5 = false;  // AutoCheck
  std::string Combo2;   // AutoCheckTime

  bool operator==(const OptionsFields&) const = default;
};

// The daily check's task in the Windows Task Scheduler. Each call returns
// "" on success, else the reason (cp1251).
class DailyCheckTask {
 public:
  virtual ~DailyCheckTask() = default;
  virtual std::string Register(const std::string& time) = 0;
  virtual std::string Remove() = 0;
};

class OptionsView {
 public:
  virtual ~OptionsView() = default;
  // Every field but Combo1 (ShowOptions fills them without raising Click).
  virtual void ShowFields(const OptionsFields& fields) = 0;
  virtual OptionsFields ReadFields() = 0;
  // Label5, Label6, Label7, Text1, Text2 and Check2 visible; Label4 hidden
  // when `visible` is false it is the other way round.
  virtual void SetLoginFieldsVisible(bool visible) = 0;
  // Replaces Combo1's list.
  virtual void SetProfileList(const std::vector<std::string>& entries) = 0;
  virtual void SetComboText(const std::string& text) = 0;
  virtual void SetTimer(OptionsTimer timer, bool enabled) = 0;
  virtual void SetButtonPicture(int xpb, OptionsPicture picture) = 0;  // xpb 1 or 2
  virtual void FocusAccept() = 0;                                      // XpB1
  virtual bool Ask(const std::string& question) = 0;                   // Yes/No
  virtual void ShowMessage(const std::string& text) = 0;
  virtual void ShowIDHelp(const std::string& title, const std::string& text) = 0;
  virtual void CloseIDHelp() = 0;
  virtual bool PointerOverPicture5() = 0;
  virtual void SetPicture5Tooltip(const std::string& text) = 0;
  // Unloads the window and shows the main window again.
  virtual void Close() = 0;
  // The hours of the daily check and the last check's result beside it.
  virtual void SetCheckTimes(const std::vector<std::string>& times) = 0;
  virtual void SetLastCheckText(const std::string& text) = 0;
};

// The "*.id" file names of `folder`, sorted, without the folder.
std::vector<std::filesystem::path> ListSnapshotFiles(const std::filesystem::path& folder);
// The "<ID>.history.txt" file names of `folder`, sorted, without the folder.
std::vector<std::filesystem::path> ListHistoryFiles(const std::filesystem::path& folder);

class OptionsModel {
 public:
  OptionsModel(OptionsView& view, MainProgramValues& values, DailyCheckTask* task = nullptr)
      : view_(view), values_(values), task_(task) {}

  // Form_Load: pictures, fields, the profile list.
  void Load();
  void ShowOptions();
  // Settings, user.dat and options.ini from the fields. False when
  // something was refused or not written: the window must stay open.
  bool SaveOptions();
  void FillProfiles();
  void ClearProfiles();

  void OnCheck1Click(bool value);
  // `text` is Combo1's text read in the click handler.
  void OnCombo1Click(const std::string& text);
  void OnPicture5MouseDown(int button);  // 1: left
  void OnTimer(OptionsTimer timer);
  void OnXpB1Click();
  // XpB2, and the close box of the frame.
  void OnXpB2Click();
  void OnButtonHover(int xpb, bool in);

  // The link to the history of the accepted profile: only when there is one.
  bool HistoryLinkShown() const { return IsValidProfileId(values_.settings.ID); }

  bool TimerEnabled(OptionsTimer timer) const { return timers_[static_cast<int>(timer)]; }
  bool IDHelpShown() const { return idHelpShown_; }
  const std::vector<std::string>& ProfileList() const { return list_; }

 private:
  void SetTimer(OptionsTimer timer, bool enabled);
  void CloseIDHelp();
  // Brings the task in line with `next` after `previous`; "" when done.
  std::string ChangeTask(const Settings& previous, const Settings& next);
  OptionsView& view_;
  MainProgramValues& values_;
  DailyCheckTask* task_;
  std::vector<std::string> list_;
  std::string comboText_;
  bool timers_[3] = {};
  bool idHelpShown_ = false;
};

}  // namespace tw
