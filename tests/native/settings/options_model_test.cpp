#include "settings/options_model.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "settings/credential_file.h"
#include "settings/temp_folder.h"

namespace tw {
namespace {

using test::ReadBytes;
using test::WriteBytes;

class FakeOptionsView : public OptionsView {
 public:
  OptionsFields fields;
  std::string comboText;
  std::vector<std::string> list;
  bool loginVisible = false;
  bool answer = false;
  std::vector<std::string> questions;
  std::vector<std::string> messages;
  std::string tooltip;
  bool balloon = false;
  std::string balloonTitle, balloonText;
  bool pointerOver = true;
  bool closed = false;
  bool focusAccept = false;
  OptionsPicture pictures[3] = {};
  std::vector<std::string> timerLog;

  void ShowFields(const OptionsFields& f) override {
    std::string combo = fields.Combo1;
    fields = f;
    fields.Combo1 = combo;
  }
  OptionsFields ReadFields() override {
    OptionsFields f = fields;
    f.Combo1 = comboText;
    return f;
  }
  void SetLoginFieldsVisible(bool v) override { loginVisible = v; }
  void SetProfileList(const std::vector<std::string>& e) override { list = e; }
  void SetComboText(const std::string& t) override { comboText = t; }
  void SetTimer(OptionsTimer t, bool on) override {
    timerLog.push_back("Timer" + std::to_string(static_cast<int>(t)) + (on ? " on" : " off"));
  }
  void SetButtonPicture(int xpb, OptionsPicture p) override { pictures[xpb] = p; }
  void FocusAccept() override { focusAccept = true; }
  bool Ask(const std::string& q) override {
    questions.push_back(q);
    return answer;
  }
  void ShowMessage(const std::string& t) override { messages.push_back(t); }
  void ShowIDHelp(const std::string& title, const std::string& text) override {
    balloon = true;
    balloonTitle = title;
    balloonText = text;
  }
  void CloseIDHelp() override { balloon = false; }
  bool PointerOverPicture5() override { return pointerOver; }
  void SetPicture5Tooltip(const std::string& t) override { tooltip = t; }
  void Close() override { closed = true; }
  void SetCheckTimes(const std::vector<std::string>& t) override { checkTimes = t; }
  void SetLastCheckText(const std::string& t) override { lastCheck = t; }
  std::vector<std::string> checkTimes;
  std::string lastCheck;
};

// The Task Scheduler as the options window sees it: a log of the calls, and
// a refusal on demand.
class FakeTask : public DailyCheckTask {
 public:
  std::vector<std::string> log;
  std::string refuse;  // "register" or "remove"
  std::string Register(const std::string& time) override {
    log.push_back("register " + time);
    return refuse == "register" ? "no" : "";
  }
  std::string Remove() override {
    log.push_back("remove");
    return refuse == "remove" ? "no" : "";
  }
};

class OptionsModelTest : public ::testing::Test {
 protected:
  void SetUp() override { values.programFolder = folder.path(); }
  void Touch(const std::string& name) { WriteBytes(folder / name, "1%a\r\n"); }
  bool Exists(const std::string& name) const { return std::filesystem::exists(folder / name); }

  test::TempFolder folder;
  MainProgramValues values;
  FakeOptionsView view;
  FakeTask task;
  OptionsModel model{view, values, &task};
};

TEST_F(OptionsModelTest, OpeningCopiesSettingsAndFollowsGuest) {
  values.settings.ID = "123";
  values.settings.Guest = true;
  values.settings.Login = "abc";
  values.settings.ProxyHost = "127.0.0.1";
  values.settings.ProxyPort = "8080";
  values.settings.ProxyAuth = true;
  model.Load();
  EXPECT_EQ(view.comboText, "123");
  EXPECT_TRUE(view.fields.Check1);
  EXPECT_EQ(view.fields.Text1, "abc");
  EXPECT_EQ(view.fields.Text3, "127.0.0.1");
  EXPECT_EQ(view.fields.Text4, "8080");
  EXPECT_TRUE(view.fields.Check4);
  EXPECT_FALSE(view.loginVisible) << "anonymous mode shows the note, not the login fields";
  EXPECT_EQ(view.pictures[1], OptionsPicture::Picture1);
  EXPECT_EQ(view.pictures[2], OptionsPicture::Picture3);
  EXPECT_EQ(view.tooltip, kPicture5Tooltip.str());

  model.OnCheck1Click(false);
  EXPECT_TRUE(view.loginVisible);
  model.OnCheck1Click(true);
  EXPECT_FALSE(view.loginVisible);

  model.OnButtonHover(1, true);
  model.OnButtonHover(2, true);
  EXPECT_EQ(view.pictures[1], OptionsPicture::Picture2);
  EXPECT_EQ(view.pictures[2], OptionsPicture::Picture4);
  model.OnButtonHover(1, false);
  model.OnButtonHover(2, false);
  EXPECT_EQ(view.pictures[1], OptionsPicture::Picture1);
  EXPECT_EQ(view.pictures[2], OptionsPicture::Picture3);
}

TEST_F(OptionsModelTest, ProfileListFromSnapshotFiles) {
  const std::string clear = kClearProfilesEntry.str();
  values.settings.ID = "123";
  Touch("123.id");
  model.FillProfiles();
  EXPECT_EQ(view.list, (std::vector<std::string>{"123"})) << "own snapshot alone: no clearing entry";
  EXPECT_TRUE(model.TimerEnabled(OptionsTimer::Timer1));

  Touch("45.id");
  Touch("7.ID");
  Touch("tmp.id");
  Touch("notes.txt");
  std::filesystem::create_directory(folder / "9.id");  // a folder is no snapshot
  model.FillProfiles();
  EXPECT_EQ(view.list, (std::vector<std::string>{"123", "45", "7", clear}));
  EXPECT_FALSE(Exists("tmp.id")) << "a leftover tmp.id is deleted when the list is built";

  // No profile chosen: the empty ID still leads the list.
  values.settings.ID.clear();
  model.FillProfiles();
  EXPECT_EQ(view.list, (std::vector<std::string>{"", "123", "45", "7", clear}));
}

TEST_F(OptionsModelTest, ClearingAskedAndAnsweredYes) {
  values.settings.ID = "123";
  Touch("123.id");
  Touch("45.id");
  std::filesystem::permissions(folder / "45.id", std::filesystem::perms::owner_read);  // read-only goes too
  // Histories of other profiles go too, also one whose snapshot is gone.
  for (const char* name : {"123.history.txt", "45.history.txt", "8.HISTORY.TXT", "history.txt", "45.txt"})
    Touch(name);
  model.Load();
  view.comboText = kClearProfilesEntry.str();
  view.answer = true;
  model.OnCombo1Click(view.comboText);
  ASSERT_EQ(view.questions.size(), 1u);
  EXPECT_EQ(view.questions[0], ClearProfilesQuestion("123"));
  EXPECT_NE(view.questions[0].find("(123)?"), std::string::npos);
  EXPECT_TRUE(view.focusAccept);
  EXPECT_TRUE(Exists("123.id"));
  EXPECT_FALSE(Exists("45.id"));
  EXPECT_TRUE(Exists("123.history.txt"));
  EXPECT_FALSE(Exists("45.history.txt"));
  EXPECT_FALSE(Exists("8.HISTORY.TXT"));
  EXPECT_TRUE(Exists("history.txt"));
  EXPECT_TRUE(Exists("45.txt"));
  EXPECT_EQ(view.list, (std::vector<std::string>{"123"}));
  EXPECT_EQ(view.comboText, "123");
}

TEST_F(OptionsModelTest, ClearingComparesTheAcceptedIdNotTheTypedOne) {
  values.settings.ID = "123";
  Touch("45.id");
  Touch("67.id");
  model.Load();
  EXPECT_EQ(view.list.back(), kClearProfilesEntry.str()) << "two other snapshots offer clearing";
  view.comboText = "45";  // typed, not accepted
  view.answer = true;
  model.OnCombo1Click(kClearProfilesEntry.str());
  EXPECT_FALSE(Exists("45.id"));
  EXPECT_FALSE(Exists("67.id"));
}

TEST_F(OptionsModelTest, ClearingAnsweredNoKeepsFilesAndPutsTheIdBack) {
  values.settings.ID = "123";
  Touch("123.id");
  Touch("45.id");
  model.Load();
  model.OnTimer(OptionsTimer::Timer1);
  view.timerLog.clear();
  // The list click leaves the entry's text in the combo after the handler.
  Touch("45.history.txt");
  model.OnCombo1Click(kClearProfilesEntry.str());
  view.comboText = kClearProfilesEntry.str();
  EXPECT_TRUE(Exists("123.id"));
  EXPECT_TRUE(Exists("45.id"));
  EXPECT_TRUE(Exists("45.history.txt"));
  EXPECT_EQ(view.timerLog, (std::vector<std::string>{"Timer1 on"}));
  model.OnTimer(OptionsTimer::Timer1);
  EXPECT_EQ(view.comboText, "123");
  EXPECT_FALSE(model.TimerEnabled(OptionsTimer::Timer1));

  // Picking another profile only puts it into the text.
  view.questions.clear();
  model.OnCombo1Click("45");
  EXPECT_TRUE(view.questions.empty());
  EXPECT_TRUE(Exists("45.id"));
}

TEST_F(OptionsModelTest, IdHelpBalloonFollowsThePointer) {
  model.Load();
  model.OnPicture5MouseDown(2);
  EXPECT_FALSE(view.balloon) << "only the left button shows the help";
  model.OnPicture5MouseDown(1);
  EXPECT_TRUE(view.balloon);
  EXPECT_EQ(view.balloonTitle, cp1251("ID - это ваш идентификатор в базе данных дневников").str());
  EXPECT_EQ(view.balloonText.substr(view.balloonText.size() - 4), "\" :)") << "no line break at the end";
  EXPECT_EQ(std::count(view.balloonText.begin(), view.balloonText.end(), '\n'), 5);
  EXPECT_NE(view.balloonText.find("\r\n\r\n"), std::string::npos);
  EXPECT_EQ(view.tooltip, "");
  EXPECT_TRUE(model.TimerEnabled(OptionsTimer::Timer2));

  model.OnTimer(OptionsTimer::Timer2);  // still over Picture5
  EXPECT_TRUE(view.balloon);
  view.pointerOver = false;
  model.OnTimer(OptionsTimer::Timer2);
  EXPECT_FALSE(view.balloon);
  EXPECT_FALSE(model.TimerEnabled(OptionsTimer::Timer2));
  EXPECT_EQ(view.tooltip, kPicture5Tooltip.str());
}

class OptionsSaveTest : public OptionsModelTest {
 protected:
  void SetUp() override {
    OptionsModelTest::SetUp();
    values.settings.ID = "123";
    ASSERT_TRUE(SaveSettings(folder.path(), values.settings));
    model.Load();
  }
  std::string Ini() const { return ReadBytes(folder / kOptionsFile); }
};

TEST_F(OptionsSaveTest, AcceptWritesSettingsAndUserFile) {
  view.comboText = "456";
  view.fields.Check1 = false;
  view.fields.Text1 = cp1251("Вася");
  view.fields.Text2 = "pa55w";
  view.fields.Check2 = true;
  view.fields.Check3 = true;
  view.fields.Text3 = "127.0.0.1";
  view.fields.Text4 = "3128";
  model.OnXpB1Click();
  EXPECT_TRUE(view.closed);
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(values.settings.ID, "456");
  EXPECT_EQ(values.settings.Login, cp1251("Вася").str());
  Settings onDisk;
  LoadSettings(folder.path(), onDisk);
  EXPECT_EQ(onDisk, values.settings) << "options.ini and user.dat hold what was accepted";

  // Saving switched off: user.dat goes, even read-only.
  std::filesystem::permissions(folder / kUserFile, std::filesystem::perms::owner_read);
  view.closed = false;
  view.fields.Check2 = false;
  model.OnXpB1Click();
  EXPECT_TRUE(view.closed);
  EXPECT_FALSE(Exists(kUserFile));
}

// One filler generator for the run: two accepts within the same second
// still write different files.
TEST_F(OptionsSaveTest, TwoSavesInOneSecondWriteDifferentFiles) {
  view.fields.Check2 = true;
  view.fields.Text1 = "login";
  view.fields.Text2 = "secret";
  std::string first;
  for (int attempt = 0; attempt < 3; ++attempt) {
    const auto second = std::chrono::system_clock::now().time_since_epoch() / std::chrono::seconds(1);
    model.OnXpB1Click();
    first = ReadBytes(folder / kUserFile);
    model.OnXpB1Click();
    if (std::chrono::system_clock::now().time_since_epoch() / std::chrono::seconds(1) == second) break;
  }
  EXPECT_TRUE(ReadBytes(folder / kUserFile) != first) << "the same filler twice";
  Settings onDisk;
  LoadSettings(folder.path(), onDisk);
  EXPECT_EQ(onDisk.Password, "secret");
}

TEST_F(OptionsSaveTest, EmptyCredentialsKeepTheOlderUserFile) {
  Crypt crypt;
  ASSERT_EQ(crypt("old", "secret", folder / kUserFile).status, CryptStatus::Written);
  const std::string before = ReadBytes(folder / kUserFile);
  view.fields.Check2 = true;
  view.fields.Text1 = "new";
  view.fields.Text2 = "";
  model.OnXpB1Click();
  EXPECT_TRUE(view.closed);
  EXPECT_EQ(ReadBytes(folder / kUserFile), before);
}

TEST_F(OptionsSaveTest, RefusedCredentialsKeepEverythingAndTheWindow) {
  Crypt crypt;
  ASSERT_EQ(crypt("old", "secret", folder / kUserFile).status, CryptStatus::Written);
  const std::string userBefore = ReadBytes(folder / kUserFile);
  const std::string iniBefore = Ini();
  const Settings settingsBefore = values.settings;
  view.comboText = "456";
  view.fields.Check2 = true;
  struct Case {
    const char* what;
    std::string login;
    std::string password;
    CryptStatus status;
  };
  const Case cases[] = {
      {"too long", std::string(20, 'a'), std::string(20, 'b'), CryptStatus::TooLong},
      {"code 0", std::string("ab\0c", 4), "pass", CryptStatus::BadCharacter},
      {"code 6", "abc", "pa\x06ss", CryptStatus::BadCharacter},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    view.messages.clear();
    view.fields.Text1 = c.login;
    view.fields.Text2 = c.password;
    model.OnXpB1Click();
    EXPECT_FALSE(view.closed);
    ASSERT_EQ(view.messages.size(), 1u);
    CryptResult expected;
    expected.status = c.status;
    expected.characters = c.login.size() + c.password.size();
    std::string refused;
    expected.needed = Crypt().BuildRecord(c.login, c.password, refused).needed;
    EXPECT_EQ(view.messages[0], CryptRefusalMessage(expected));
    EXPECT_EQ(ReadBytes(folder / kUserFile), userBefore);
    EXPECT_EQ(Ini(), iniBefore);
    EXPECT_EQ(values.settings, settingsBefore);
    if (c.status == CryptStatus::TooLong) {
      EXPECT_NE(view.messages[0].find(std::to_string(kCryptSafeCharacters)), std::string::npos);
    } else {
      EXPECT_NE(view.messages[0].find("0-6"), std::string::npos);
    }
  }
}

TEST_F(OptionsSaveTest, ProfileIdMustBeDigitsOrEmpty) {
  const std::string iniBefore = Ini();
  for (const char* bad : {"12a", " 123", "../1", "-5", "1 2"}) {
    SCOPED_TRACE(bad);
    view.messages.clear();
    view.comboText = bad;
    model.OnXpB1Click();
    EXPECT_FALSE(view.closed);
    EXPECT_EQ(view.messages, (std::vector<std::string>{kBadProfileIdMessage.str()}));
    EXPECT_EQ(values.settings.ID, "123");
    EXPECT_EQ(Ini(), iniBefore);
  }
  view.messages.clear();
  view.comboText = "";
  model.OnXpB1Click();
  EXPECT_TRUE(view.closed) << "an empty ID means no profile is chosen";
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(values.settings.ID, "");
}

TEST_F(OptionsSaveTest, UnwritableSettingsFileKeepsTheWindowOpen) {
  std::filesystem::remove(folder / kOptionsFile);
  std::filesystem::create_directory(folder / kOptionsFile);  // cannot be read or replaced
  view.comboText = "456";
  model.OnXpB1Click();
  EXPECT_FALSE(view.closed);
  EXPECT_EQ(view.messages, (std::vector<std::string>{kSettingsNotSavedMessage.str()}));
  EXPECT_EQ(values.settings.ID, "123") << "the record keeps what is on disk";
  EXPECT_EQ(view.comboText, "456") << "nothing typed is lost";
}

// user.dat is changed before options.ini is replaced; when the replacing
// fails, user.dat is put back, so the two never disagree. A user.dat that
// cannot be written stops the save before options.ini.
TEST_F(OptionsSaveTest, FileNotReplacedLeavesBothFilesAsTheyWere) {
  WriteBytes(folder / kOptionsFile, "[Main]\r\nLastUpdate=01.02.2026\r\nID=123\r\nMine=1\r\n");
  const std::string iniBefore = Ini();
  const std::string notSaved = kSettingsNotSavedMessage.str();
  const std::string userNotWritten = CryptRefusalMessage({CryptStatus::WriteFailed, 0, 0});
  struct Case {
    const char* what;
    bool userFileBefore;
    bool save;
    const char* blocked;  // the temporary file that cannot be made
    const std::string& message;
  };
  for (const Case& c : {Case{"rewrite", true, true, "options.ini.tmp", notSaved},
                        Case{"delete", true, false, "options.ini.tmp", notSaved},
                        Case{"new", false, true, "options.ini.tmp", notSaved},
                        Case{"user.dat not written", true, true, "user.dat.tmp", userNotWritten}}) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(folder / kUserFile);
    if (c.userFileBefore) {
      ASSERT_EQ(Crypt()("old", "secret", folder / kUserFile).status, CryptStatus::Written);
    }
    std::filesystem::create_directories(folder / c.blocked / "inside");
    const std::string userBefore = ReadBytes(folder / kUserFile);
    view.messages.clear();
    view.comboText = "456";
    view.fields.Check2 = c.save;
    view.fields.Text1 = "new";
    view.fields.Text2 = "pw";
    model.OnXpB1Click();
    EXPECT_FALSE(view.closed);
    EXPECT_EQ(view.messages, (std::vector<std::string>{c.message}));
    EXPECT_TRUE(ReadBytes(folder / kUserFile) == userBefore) << "user.dat changed";
    EXPECT_EQ(Ini(), iniBefore);
    EXPECT_EQ(values.settings.ID, "123");
    std::filesystem::remove_all(folder / c.blocked);
  }
}

TEST_F(OptionsSaveTest, UserFileThatCannotBeDeletedIsReported) {
  // A folder in the way of user.dat cannot be deleted as a file.
  std::filesystem::create_directories(folder / kUserFile / "inside");
  const std::string iniBefore = Ini();
  view.comboText = "456";
  view.fields.Check2 = false;
  model.OnXpB1Click();
  EXPECT_FALSE(view.closed);
  EXPECT_EQ(view.messages, (std::vector<std::string>{kUserFileNotDeletedMessage.str()}));
  EXPECT_EQ(Ini(), iniBefore);
  EXPECT_EQ(values.settings.ID, "123");
}

// Saving with the daily check: the task follows the option, and a task or
// a file that cannot be changed leaves the other as it was.
TEST_F(OptionsSaveTest, DailyCheckTaskFollowsTheOptionAllOrNothing) {
  EXPECT_EQ(view.checkTimes.size(), 24u);
  struct Case {
    const char* what;
    bool was;
    bool on;
    const char* time;
    const char* refuse;
    bool iniBlocked;
    std::vector<std::string> calls;
    bool saved;
  };
  const Case cases[] = {
      {"off stays off", false, false, "10:00", "", false, {}, true},
      {"turned on", false, true, "07:00", "", false, {"register 07:00"}, true},
      {"new hour", true, true, "08:00", "", false, {"register 08:00"}, true},
      {"turned off", true, false, "09:00", "", false, {"remove"}, true},
      {"refused", false, true, "07:00", "register", false, {"register 07:00"}, false},
      {"not deleted", true, false, "09:00", "remove", false, {"remove"}, false},
      {"ini fails: task back", false, true, "07:00", "", true, {"register 07:00", "remove"}, false},
      {"ini fails: old hour back",
       true,
       true,
       "08:00",
       "",
       true,
       {"register 08:00", "register 09:00"},
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    values.settings.AutoCheck = c.was;
    values.settings.AutoCheckTime = "09:00";
    ASSERT_TRUE(SaveSettings(folder.path(), values.settings));
    if (c.iniBlocked) std::filesystem::create_directories(folder / "options.ini.tmp" / "inside");
    const std::string iniBefore = Ini();
    task.log.clear();
    task.refuse = c.refuse;
    view.messages.clear();
    view.closed = false;
    view.comboText = "123";
    view.fields.Check5 = c.on;
    view.fields.Combo2 = c.time;
    model.OnXpB1Click();
    std::filesystem::remove_all(folder / "options.ini.tmp");
    EXPECT_EQ(task.log, c.calls);
    EXPECT_EQ(view.closed, c.saved);
    EXPECT_EQ(values.settings.AutoCheck, c.saved ? c.on : c.was);
    if (c.saved) continue;
    EXPECT_EQ(Ini(), iniBefore);
    ASSERT_EQ(view.messages.size(), 1u);
    if (*c.refuse != '\0') {
      EXPECT_EQ(view.messages[0].rfind(
                    c.on ? kCheckTaskNotRegisteredMessage.str() : kCheckTaskNotDeletedMessage.str(), 0),
                0u);
    }
  }
}

TEST_F(OptionsSaveTest, CancelChangesNothing) {
  Crypt crypt;
  ASSERT_EQ(crypt("old", "secret", folder / kUserFile).status, CryptStatus::Written);
  const std::string userBefore = ReadBytes(folder / kUserFile);
  const std::string iniBefore = Ini();
  const Settings before = values.settings;
  view.comboText = "999";
  view.fields.Text1 = "x";
  view.fields.Check2 = false;
  model.OnPicture5MouseDown(1);
  model.OnXpB2Click();
  EXPECT_TRUE(view.closed);
  EXPECT_FALSE(view.balloon) << "the balloon goes with the window";
  EXPECT_EQ(values.settings, before);
  EXPECT_EQ(Ini(), iniBefore);
  EXPECT_EQ(ReadBytes(folder / kUserFile), userBefore);
}

}  // namespace
}  // namespace tw
