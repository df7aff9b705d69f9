#include "app/main_window_model.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "deployment.h"

namespace tw {
namespace {

using Log = std::vector<std::string>;

class Recorder : public MainView, public MainHost {
 public:
  Log log;
  bool another = false;
  std::string idOnDisk;
  Settings* settings = nullptr;
  void SetCaption(const std::string& c) override { log.push_back("Caption " + c); }
  void SetBackground(MainPicture p) override {
    log.push_back("Background " + std::to_string(static_cast<int>(p)));
  }
  void SetButtonPicture(int n, MainPicture p) override {
    log.push_back("Button" + std::to_string(n) + " " + std::to_string(static_cast<int>(p)));
  }
  void ShowButton(int n) override { log.push_back("Show" + std::to_string(n)); }
  void SetTimer(MainTimer t, bool on) override {
    log.push_back("Timer" + std::to_string(static_cast<int>(t)) + (on ? " on" : " off"));
  }
  void SetLabel1(const std::string& text) override { log.push_back("Label1 [" + text + "]"); }
  void ShowSecondInstanceMessage() override { log.push_back("SecondInstance"); }
  void Hide() override { log.push_back("Hide"); }
  void Unload() override { log.push_back("Unload"); }
  void ShowAbout() override { log.push_back("About"); }
  void OpenUrl(const std::string& url) override { log.push_back("Open " + url); }
  bool AnotherInstanceRunning() override { return another; }
  void LoadSettings() override {
    log.push_back("LoadSettings");
    settings->ID = idOnDisk;
  }
  void ShowDownload() override { log.push_back("Download"); }
  void ShowOptions() override { log.push_back("Options"); }
  void EndProgram() override { log.push_back("End"); }
  Log Take() { return std::exchange(log, {}); }
};

class MainWindowModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() /
             ("tw-main-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(folder);
    values.programFolder = folder;
    rec.settings = &values.settings;
  }
  void TearDown() override { std::filesystem::remove_all(folder); }
  std::filesystem::path folder;
  MainProgramValues values;
  Recorder rec;
};

TEST_F(MainWindowModelTest, FirstLoadOrderCaptionAndTmpList) {
  std::ofstream(folder / "tmp.id") << "1%a\r\n";
  rec.idOnDisk = "123";
  MainWindowModel model(rec, rec, values);
  ASSERT_TRUE(model.Load());
  EXPECT_EQ(rec.Take(),
            (Log{"Background 11", "Button1 2", "Background 11", "Button2 4", "Background 11", "Button3 6",
                 "Background 10", "LoadSettings", "Caption Tallywick v 2.1 beta  [id=123]"}));
  EXPECT_FALSE(std::filesystem::exists(folder / "tmp.id"));
  EXPECT_EQ(model.State(), IntroState::Waiting);
}

TEST_F(MainWindowModelTest, SecondInstanceEndsBeforeAnythingElse) {
  std::ofstream(folder / "tmp.id") << "1%a\r\n";
  rec.another = true;
  MainWindowModel model(rec, rec, values);
  EXPECT_FALSE(model.Load());
  EXPECT_EQ(rec.Take(), (Log{"SecondInstance", "End"}));
  EXPECT_TRUE(std::filesystem::exists(folder / "tmp.id"));  // the running copy's file stays
}

TEST_F(MainWindowModelTest, IntroRevealsOnceThenReady) {
  MainWindowModel model(rec, rec, values);
  model.Load();
  rec.Take();
  model.OnMouseMove();
  EXPECT_EQ(rec.Take(), (Log{"Timer4 on", "Timer1 on", "Timer2 on", "Timer3 on", "Background 11"}));
  EXPECT_EQ(model.State(), IntroState::Revealing);
  model.OnMouseMove();  // does not restart the reveal
  EXPECT_TRUE(rec.Take().empty());
  model.OnTimer(MainTimer::Timer1);
  model.OnKeyPress();  // nor does a key
  model.OnTimer(MainTimer::Timer2);
  model.OnTimer(MainTimer::Timer3);
  EXPECT_EQ(rec.Take(), (Log{"Timer1 off", "Show1", "Timer2 off", "Show2", "Timer3 off", "Show3"}));
  EXPECT_EQ(model.State(), IntroState::Ready);
  model.OnMouseMove();
  EXPECT_TRUE(rec.Take().empty());
}

TEST_F(MainWindowModelTest, AKeyStartsTheIntroAsThePointerDoes) {
  MainWindowModel model(rec, rec, values);
  model.Load();
  rec.Take();
  model.OnKeyPress();
  EXPECT_EQ(rec.Take(), (Log{"Timer4 on", "Timer1 on", "Timer2 on", "Timer3 on", "Background 11"}));
}

TEST_F(MainWindowModelTest, LaterLoadGoesStraightToReady) {
  values.IntroDone = true;
  values.settings.ID = "77";
  rec.idOnDisk = "999";  // would show if settings were read again
  std::ofstream(folder / "tmp.id") << "x";
  MainWindowModel model(rec, rec, values);
  model.Load();
  const Log log = rec.Take();
  EXPECT_EQ(std::vector<std::string>(log.end() - 6, log.end()),
            (Log{"Background 10", "Background 11", "Show1", "Show2", "Show3",
                 "Caption Tallywick v 2.1 beta  [id=77]"}));
  EXPECT_FALSE(std::filesystem::exists(folder / "tmp.id"));
  EXPECT_EQ(model.State(), IntroState::Ready);
}

TEST_F(MainWindowModelTest, WinkSteps) {
  MainWindowModel model(rec, rec, values);
  for (int round = 0; round < 2; ++round) {
    model.OnTimer(MainTimer::Timer4);
    for (int i = 0; i < 7; ++i) model.OnTimer(MainTimer::Timer5);
    EXPECT_EQ(rec.Take(), (Log{"Timer5 on", "Label1 [.)]", "Label1 [:)]", "Label1 [.)]", "Label1 [:)]",
                               "Label1 [.)]", "Label1 [:)]", "Label1 [  ]", "Timer5 off"}));
    EXPECT_EQ(model.WinkStep(), 0);
  }
}

TEST_F(MainWindowModelTest, HighlightAndRestoreTable) {
  MainWindowModel model(rec, rec, values);
  const std::vector<std::pair<int, Log>> highlight = {{1, {"Button1 1", "Background 7"}},
                                                      {2, {"Button2 3", "Background 8"}},
                                                      {3, {"Button3 5", "Background 9"}},
                                                      {0, {}},
                                                      {4, {}}};
  for (const auto& [n, expected] : highlight) {
    model.HighlightButton(n);
    EXPECT_EQ(rec.Take(), expected) << n;
  }
  const std::vector<std::pair<int, Log>> restore = {{1, {"Background 11", "Button1 2"}},
                                                    {2, {"Background 11", "Button2 4"}},
                                                    {3, {"Background 11", "Button3 6"}},
                                                    {7, {"Background 11"}}};
  for (const auto& [n, expected] : restore) {
    model.RestoreButton(n);
    EXPECT_EQ(rec.Take(), expected) << n;
  }
}

TEST_F(MainWindowModelTest, Commands) {
  MainWindowModel model(rec, rec, values);
  model.OnButtonClick(1);
  EXPECT_EQ(rec.Take(), (Log{"Hide", "Background 11", "Button1 2", "Options"}));
  values.settings.ID = "5";
  model.OnButtonClick(1);
  EXPECT_EQ(rec.Take(), (Log{"Hide", "Background 11", "Button1 2", "Download"}));
  model.OnButtonClick(2);
  EXPECT_EQ(rec.Take(), (Log{"Unload", "Options"}));
  std::ofstream(folder / "tmp.id") << "x";
  model.OnButtonClick(3);
  EXPECT_EQ(rec.Take(), (Log{"End"}));
  EXPECT_FALSE(std::filesystem::exists(folder / "tmp.id"));
  std::ofstream(folder / "tmp.id") << "x";
  model.OnClose();
  EXPECT_FALSE(std::filesystem::exists(folder / "tmp.id"));
  model.OnLabel1Click();
  model.OnImage1Click();
  EXPECT_EQ(rec.Take(), (Log{"End", std::string("Open ") + deploy::kQuotesUrl, "About"}));
}

}  // namespace
}  // namespace tw
