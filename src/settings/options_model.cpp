#include "settings/options_model.h"

#include <algorithm>
#include <optional>
#include <system_error>
#include <utility>

#include "autocheck/background_run.h"
#include "autocheck/task_definition.h"
#include "files/atomic_file.h"
#include "settings/credential_file.h"

namespace tw {

namespace {

bool HasIdExtension(const std::filesystem::path& name) {
  const std::u16string ext = name.extension().u16string();
  // Windows matches "*.id" without regard to case.
  return ext.size() == 3 && ext[0] == u'.' && (ext[1] == u'i' || ext[1] == u'I') &&
         (ext[2] == u'd' || ext[2] == u'D');
}

// The profile a history file belongs to: the name before ".history.txt"
// (matched without regard to case, as Windows does), or "" for another file.
std::string HistoryProfileOf(const std::filesystem::path& name) {
  constexpr std::u16string_view kSuffix = u".history.txt";
  const std::u16string text = name.u16string();
  if (text.size() <= kSuffix.size()) return {};
  for (std::size_t i = 0; i < kSuffix.size(); ++i) {
    char16_t c = text[text.size() - kSuffix.size() + i];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    if (c != kSuffix[i]) return {};
  }
  return Utf16ToCp1251(std::u16string_view(text).substr(0, text.size() - kSuffix.size()));
}

// The file name without its last three characters (".id"), as cp1251.
std::string ProfileOf(const std::filesystem::path& name) {
  std::u16string text = name.u16string();
  text.resize(text.size() - 3);
  return Utf16ToCp1251(text);
}

// The names of the plain files of `folder` that `wanted`, sorted.
template <typename Predicate>
std::vector<std::filesystem::path> ListFiles(const std::filesystem::path& folder, Predicate wanted) {
  std::vector<std::filesystem::path> names;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    const std::filesystem::path name = it->path().filename();
    if (wanted(name)) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

std::string IDHelpTitle() { return cp1251("ID - это ваш идентификатор в базе данных дневников"); }

std::string IDHelpText() {
  const std::string crlf = "\r\n";
  return cp1251("ID присваивается как порядковый номер при регистрации.").str() + crlf + crlf +
         cp1251("Увидеть ID можно на странице своего профиля (ссылка \"Мой профиль\"),").str() + crlf +
         cp1251("среди прочих данных, находящихся под вашим аватаром.").str() + crlf + crlf +
         cp1251("Там так и написано: \"ID:такой-то\" :)").str();
}

std::string ClearProfilesQuestion(const std::string& id) {
  return cp1251("Вы действительно хотите удалить информацию обо всех профилях, кроме текущего (").str() + id +
         ")?";
}

std::vector<std::filesystem::path> ListSnapshotFiles(const std::filesystem::path& folder) {
  return ListFiles(folder, HasIdExtension);
}

std::vector<std::filesystem::path> ListHistoryFiles(const std::filesystem::path& folder) {
  return ListFiles(folder, [](const std::filesystem::path& name) { return !HistoryProfileOf(name).empty(); });
}

void OptionsModel::SetTimer(OptionsTimer timer, bool enabled) {
  timers_[static_cast<int>(timer)] = enabled;
  view_.SetTimer(timer, enabled);
}

void OptionsModel::Load() {
  view_.SetButtonPicture(1, OptionsPicture::Picture1);
  view_.SetButtonPicture(2, OptionsPicture::Picture3);
  view_.SetPicture5Tooltip(kPicture5Tooltip);
  view_.SetCheckTimes(CheckTimeChoices());
  ShowOptions();
  FillProfiles();
}

void OptionsModel::ShowOptions() {
  const Settings& s = values_.settings;
  OptionsFields fields;
  fields.Combo1 = s.ID;
  fields.Check1 = s.Guest;
  fields.Text1 = s.Login;
  fields.Text2 = s.Password;
  fields.Check2 = s.SaveLoginPassword;
  fields.Check3 = s.UseProxy;
  fields.Text3 = s.ProxyHost;
  fields.Text4 = s.ProxyPort;
  fields.Check4 = s.ProxyAuth;
  fields.Text5 = s.ProxyLogin;
  fields.Text6 = s.ProxyPass;
  fields.Check5 = s.AutoCheck;
  fields.Combo2 = s.AutoCheckTime;
  view_.ShowFields(fields);
  view_.SetLastCheckText(LastCheckText(values_.programFolder));
  // Setting Check1 raises its Click, so the layout follows Guest at once.
  OnCheck1Click(s.Guest);
}

void OptionsModel::OnCheck1Click(bool value) { view_.SetLoginFieldsVisible(!value); }

void OptionsModel::FillProfiles() {
  const std::string& id = values_.settings.ID;
  list_.clear();
  comboText_ = id;
  list_.push_back(id);
  DeleteForced(values_.programFolder / kTmpListFile);
  const std::vector<std::filesystem::path> files = ListSnapshotFiles(values_.programFolder);
  for (const auto& file : files) {
    const std::string profile = ProfileOf(file);
    if (profile != comboText_ && profile != "tmp") list_.push_back(profile);
  }
  if (files.size() > 1) list_.push_back(kClearProfilesEntry);
  view_.SetProfileList(list_);
  view_.SetComboText(id);
  SetTimer(OptionsTimer::Timer1, true);
}

void OptionsModel::ClearProfiles() {
  const std::string& id = values_.settings.ID;
  for (const auto& file : ListSnapshotFiles(values_.programFolder)) {
    const std::string profile = ProfileOf(file);
    if (profile != "tmp" && profile != id) DeleteForced(values_.programFolder / file);
  }
  // The other profiles' histories go with their snapshots.
  for (const auto& file : ListHistoryFiles(values_.programFolder)) {
    if (HistoryProfileOf(file) != id) DeleteForced(values_.programFolder / file);
  }
  FillProfiles();
}

void OptionsModel::OnCombo1Click(const std::string& text) {
  if (text != kClearProfilesEntry.str()) return;
  view_.FocusAccept();
  view_.SetComboText(values_.settings.ID);
  if (view_.Ask(ClearProfilesQuestion(values_.settings.ID))) {
    ClearProfiles();
  } else {
    // The list click is not over yet; the tick puts the ID back after it.
    SetTimer(OptionsTimer::Timer1, true);
  }
}

void OptionsModel::OnPicture5MouseDown(int button) {
  if (button != 1) return;
  view_.ShowIDHelp(IDHelpTitle(), IDHelpText());
  idHelpShown_ = true;
  SetTimer(OptionsTimer::Timer2, true);
  view_.SetPicture5Tooltip("");
}

void OptionsModel::CloseIDHelp() {
  if (!idHelpShown_) return;
  view_.CloseIDHelp();
  idHelpShown_ = false;
}

void OptionsModel::OnTimer(OptionsTimer timer) {
  switch (timer) {
    case OptionsTimer::Timer1:
      view_.SetComboText(values_.settings.ID);
      SetTimer(OptionsTimer::Timer1, false);
      break;
    case OptionsTimer::Timer2:
      if (view_.PointerOverPicture5()) break;
      SetTimer(OptionsTimer::Timer2, false);
      CloseIDHelp();
      view_.SetPicture5Tooltip(kPicture5Tooltip);
      break;
  }
}

bool OptionsModel::SaveOptions() {
  const OptionsFields f = view_.ReadFields();
  Settings s = values_.settings;
  s.ID = f.Combo1;
  s.Guest = f.Check1;
  s.Login = f.Text1;
  s.Password = f.Text2;
  s.SaveLoginPassword = f.Check2;
  s.UseProxy = f.Check3;
  s.ProxyHost = f.Text3;
  s.ProxyPort = f.Text4;
  s.ProxyAuth = f.Check4;
  s.ProxyLogin = f.Text5;
  s.ProxyPass = f.Text6;
  s.AutoCheck = f.Check5;
  if (IsCheckTime(f.Combo2)) s.AutoCheckTime = f.Combo2;

  // The ID names the snapshot file and goes into the request line; an empty
  // one means that no profile is chosen yet.
  if (!s.ID.empty() && !IsValidProfileId(s.ID)) {
    view_.ShowMessage(kBadProfileIdMessage.str());
    return false;
  }
  // All or nothing: both new files are made in memory first; user.dat is
  // changed next, and put back should options.ini then fail to be replaced.
  const std::optional<std::string> ini = SettingsFileText(values_.programFolder, s);
  if (!ini) {
    view_.ShowMessage(kSettingsNotSavedMessage.str());
    return false;
  }
  const std::filesystem::path user = values_.programFolder / kUserFile;
  std::optional<std::string> newUser;
  if (s.SaveLoginPassword) {
    // With an empty login or password nothing is written and an older
    // user.dat stays; a refusal keeps the older file and the window.
    std::string bytes;
    const CryptResult result = ProgramCrypt().FileBytes(s.Login, s.Password, bytes);
    if (result.status != CryptStatus::Written && result.status != CryptStatus::Skipped) {
      view_.ShowMessage(CryptRefusalMessage(result));
      return false;
    }
    if (result.status == CryptStatus::Written) newUser = std::move(bytes);
  }
  const bool changeUser = newUser || !s.SaveLoginPassword;
  const SavedFile oldUser = SavedFile::Of(user);
  if (changeUser && !oldUser.readable) {
    // What cannot be read could not be put back.
    view_.ShowMessage(newUser ? CryptRefusalMessage({CryptStatus::WriteFailed, 0, 0})
                              : kUserFileNotDeletedMessage.str());
    return false;
  }
  // The task goes first: it is the step most likely to be refused, and
  // the one that can be taken back by doing the opposite.
  if (const std::string reason = ChangeTask(values_.settings, s); !reason.empty()) {
    view_.ShowMessage(reason);
    return false;
  }
  const auto undoTask = [this, &s] { ChangeTask(s, values_.settings); };
  if (newUser && !WriteFileAtomic(user, *newUser)) {
    undoTask();
    view_.ShowMessage(CryptRefusalMessage({CryptStatus::WriteFailed, 0, 0}));
    return false;
  }
  if (!s.SaveLoginPassword && !DeleteForced(user)) {
    undoTask();
    view_.ShowMessage(kUserFileNotDeletedMessage.str());
    return false;
  }
  if (!WriteFileAtomic(values_.programFolder / kOptionsFile, *ini)) {
    undoTask();
    const bool restored = !changeUser || oldUser.Restore(user);
    view_.ShowMessage(restored ? kSettingsNotSavedMessage.str()
                               : kSettingsNotSavedUserFileChangedMessage.str());
    return false;
  }
  values_.settings = s;
  return true;
}

std::string OptionsModel::ChangeTask(const Settings& previous, const Settings& next) {
  // Off and off again: the Task Scheduler is not asked at all.
  if (!next.AutoCheck && !previous.AutoCheck) return {};
  if (next.AutoCheck && previous.AutoCheck && next.AutoCheckTime == previous.AutoCheckTime) return {};
  const std::string message =
      next.AutoCheck ? kCheckTaskNotRegisteredMessage.str() : kCheckTaskNotDeletedMessage.str();
  if (task_ == nullptr) return message;
  const std::string reason = next.AutoCheck ? task_->Register(next.AutoCheckTime) : task_->Remove();
  return reason.empty() ? std::string() : message + "\r\n\r\n" + reason;
}

void OptionsModel::OnXpB1Click() {
  CloseIDHelp();
  if (!SaveOptions()) return;
  view_.Close();
}

void OptionsModel::OnXpB2Click() {
  CloseIDHelp();
  view_.Close();
}

void OptionsModel::OnButtonHover(int xpb, bool in) {
  if (xpb == 1) view_.SetButtonPicture(1, in ? OptionsPicture::Picture2 : OptionsPicture::Picture1);
  if (xpb == 2) view_.SetButtonPicture(2, in ? OptionsPicture::Picture4 : OptionsPicture::Picture3);
}

}  // namespace tw
