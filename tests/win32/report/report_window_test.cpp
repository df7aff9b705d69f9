// The change report under Wine, built from real files in a temporary
// program folder; every text is read back with window messages.
#include "readers/report_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/roads.h"
#include "controls/list_header.h"
#include "copy_driver.h"
#include "deployment.h"
#include "files/atomic_file.h"
#include "wait.h"
#include "win32/shell.h"
#include "win32/wide_text.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

std::wstring TextOf(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

std::vector<std::wstring> ItemsOf(HWND list) {
  std::vector<std::wstring> items;
  const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    const int length = static_cast<int>(SendMessageW(list, LB_GETTEXTLEN, i, 0));
    std::wstring item(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()));
    item.resize(static_cast<std::size_t>(length));
    items.push_back(item);
  }
  return items;
}

std::wstring TimeText(const fs::path& file) {
  return win::Widen(LocalFileTimeFormatter().Format(fs::last_write_time(file)));
}

class ReportWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = fs::path(temp) / L"tw-report-\u043f\u0430\u043f\u043a\u0430";
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    win::SetOpenUrlHook([this](const std::string& url) { opened_.push_back(url); });
  }
  void TearDown() override {
    test::MovePointerAway();
    window_.reset();
    win::SetOpenUrlHook({});
    test::PumpMessages();
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }
  void Write(const char* name, std::string_view utf8) {
    std::ofstream(folder_ / name, std::ios::binary) << Utf8ToCp1251(utf8);
  }
  std::string Read(const char* name) { return ReadFileBytes(folder_ / name).value_or("<missing>"); }
  void Open(const char* ownerNick = "Owner", std::optional<std::size_t> announced = std::nullopt) {
    window_ = std::make_unique<ReportWindow>(folder_, "1100", Utf8ToCp1251(ownerNick), announced);
    window_->onClosed = [this] { ++closed_; };
    ASSERT_TRUE(window_->Load());
    window_->Show();
    test::PumpMessages();
  }
  // A click as the user makes it: the pointer over the button, then the button pressed.
  void Click(XpButton& button) {
    test::MovePointerTo(button.Handle(), 20, 20);
    SendMessageW(button.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    SendMessageW(button.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    test::PumpMessages();
  }
  // A real double-click on row `row` of a list: the list box tells its parent.
  void DoubleClickRow(HWND list, int row) {
    RECT rect{};
    SendMessageW(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
    const LPARAM at = MAKELPARAM(rect.left + 5, (rect.top + rect.bottom) / 2);
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(list, WM_LBUTTONUP, 0, at);
    SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageW(list, WM_LBUTTONUP, 0, at);
    test::PumpMessages();
  }
  bool Visible(int label) { return (GetWindowLongW(window_->Label(label), GWL_STYLE) & WS_VISIBLE) != 0; }

  fs::path folder_;
  std::unique_ptr<ReportWindow> window_;
  std::vector<std::string> opened_;
  int closed_ = 0;
};

TEST_F(ReportWindowTest, FirstCheckListsEveryReaderAsSubscribed) {
  Write("tmp.id", "11%Анна\r\n12%Boris & Co\r\n13%Сергей%2\r\n");
  Open("Хозяин");
  EXPECT_EQ(TextOf(window_->Handle()), L"Изменения в профиле");
  EXPECT_EQ(ItemsOf(window_->List(ReportList::List1)),
            (std::vector<std::wstring>{L"Анна", L"Boris & Co", L"Сергей%2"}));
  EXPECT_TRUE(ItemsOf(window_->List(ReportList::List2)).empty());
  EXPECT_TRUE(ItemsOf(window_->List(ReportList::List3)).empty());
  EXPECT_EQ(TextOf(window_->Label(1)), L"Подписались (3)");
  EXPECT_EQ(TextOf(window_->Label(2)), L"Отписались (0)");
  EXPECT_EQ(TextOf(window_->Label(3)), L"Сменили имя (0)");
  EXPECT_EQ(TextOf(window_->Label(4)), L"Результат для ID=1100");
  EXPECT_EQ(TextOf(window_->Label(5)), L"Информация за период");
  EXPECT_EQ(TextOf(window_->Label(6)), L"c [нет данных] по " + TimeText(folder_ / "tmp.id"));
  EXPECT_EQ(TextOf(window_->Label(6))[0], L'c') << "the Latin letter";
  EXPECT_EQ(TextOf(window_->Label(7)), L"Хозяин");
  EXPECT_EQ(TextOf(window_->Label(8)), L"Постоянных читателей:");
  EXPECT_EQ(TextOf(window_->Label(9)), L"3");
  EXPECT_FALSE(Visible(10));
  EXPECT_EQ(window_->XpB1().Picture().bitmap, window_->Picture(1));
  EXPECT_EQ(window_->XpB2().Picture().bitmap, window_->Picture(3));
  for (int n = 1; n <= 4; ++n) EXPECT_NE(window_->Picture(n), nullptr) << "Picture" << n;
}

TEST_F(ReportWindowTest, ChangesAgainstTheSnapshot) {
  Write("1100.id", "1%Анна\r\n2%Boris\r\n3%Gone\r\n4%Vera\r\n");
  Write("tmp.id", "2%Boris\r\n1%анна\r\n5%Новый\r\nбез процента\r\n4%Вера\r\n6%Second\r\n");
  Open();
  EXPECT_EQ(ItemsOf(window_->List(ReportList::List1)), (std::vector<std::wstring>{L"Новый", L"Second"}));
  EXPECT_EQ(ItemsOf(window_->List(ReportList::List2)), std::vector<std::wstring>{L"Gone"});
  EXPECT_EQ(ItemsOf(window_->List(ReportList::List3)),
            (std::vector<std::wstring>{L"Анна\tанна", L"Vera\tВера"}));
  EXPECT_EQ(TextOf(window_->Label(1)), L"Подписались (2)");
  EXPECT_EQ(TextOf(window_->Label(2)), L"Отписались (1)");
  EXPECT_EQ(TextOf(window_->Label(3)), L"Сменили имя (2)");
  EXPECT_EQ(TextOf(window_->Label(9)), L"6");
  EXPECT_EQ(TextOf(window_->Label(6)),
            L"c " + TimeText(folder_ / "1100.id") + L" по " + TimeText(folder_ / "tmp.id"));
  EXPECT_FALSE(Visible(10));

  // List3's header: two columns, and the list's tab stop under the divider.
  const HWND header = window_->Header();
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(ListBoxOfHeader(header), window_->List(ReportList::List3));
  EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 2);
  RECT headerRect{}, listRect{};
  GetWindowRect(header, &headerRect);
  GetWindowRect(window_->List(ReportList::List3), &listRect);
  EXPECT_EQ(listRect.top - headerRect.top, 18);
  EXPECT_EQ(headerRect.left, listRect.left);
  EXPECT_EQ(headerRect.right, listRect.right);
  EXPECT_TRUE(GetWindowLongW(window_->List(ReportList::List3), GWL_STYLE) & LBS_USETABSTOPS);
}

TEST_F(ReportWindowTest, Label10WhenNothingChanged) {
  Write("1100.id", "1%A\r\n2%B\r\n");
  Write("tmp.id", "2%B\r\n1%A\r\n");
  Open();
  EXPECT_TRUE(Visible(10));
  EXPECT_EQ(TextOf(window_->Label(10)), L"Нет изменений со времени последней проверки.");
  EXPECT_EQ(TextOf(window_->Label(1)), L"Подписались (0)");
  EXPECT_EQ(TextOf(window_->Label(3)), L"Сменили имя (0)");
}

std::wstring boxText;  // the text of the answered "Ошибка" box
UINT_PTR boxTimer = 0;

void CALLBACK AnswerErrorBox(HWND, UINT, UINT_PTR, DWORD) {
  const HWND box = FindWindowW(L"#32770", L"Ошибка");
  if (box == nullptr) return;
  EnumChildWindows(
      box,
      [](HWND child, LPARAM) -> BOOL {
        const std::wstring text = TextOf(child);
        if (text.find(L"tmp.id") != std::wstring::npos) boxText = text;
        return TRUE;
      },
      0);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
}

int defaultButton = 0;  // the button that had the focus in the "Внимание!" box

// Answers the question with Enter, which presses the button that has the
// focus; a box that Enter did not close is answered No at the next tick.
void CALLBACK PressEnter(HWND, UINT, UINT_PTR, DWORD) {
  const HWND box = FindWindowW(L"#32770", L"Внимание!");
  if (box == nullptr) return;
  if (defaultButton != 0) {
    PostMessageW(box, WM_COMMAND, IDNO, 0);
    return;
  }
  const HWND focus = GetFocus();
  defaultButton = focus != nullptr && GetParent(focus) == box ? GetDlgCtrlID(focus) : -1;
  PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 0);
  PostMessageW(focus, WM_KEYUP, VK_RETURN, 0);
}

// A read-only tmp.id goes too.
TEST_F(ReportWindowTest, AcceptReplacesTheSnapshotWithTmpListTime) {
  Write("1100.id", "1%Old\r\n");
  Write("tmp.id", "1%New\r\n2%Two\r\n");
  const auto downloaded = fs::file_time_type::clock::now() - std::chrono::hours(30);
  fs::last_write_time(folder_ / "tmp.id", downloaded);
  ASSERT_TRUE(SetFileAttributesW((folder_ / "tmp.id").c_str(), FILE_ATTRIBUTE_READONLY));
  boxText.clear();
  boxTimer = SetTimer(nullptr, 0, 50, &AnswerErrorBox);  // none is expected
  Open();
  Click(window_->XpB1());
  KillTimer(nullptr, boxTimer);
  EXPECT_EQ(boxText, L"");
  EXPECT_EQ(window_->Handle(), nullptr) << "the window closed";
  EXPECT_EQ(closed_, 1);
  EXPECT_EQ(Read("1100.id"), "1%New\r\n2%Two\r\n");
  EXPECT_FALSE(fs::exists(folder_ / "tmp.id"));
  EXPECT_EQ(
      std::chrono::duration_cast<std::chrono::seconds>(fs::last_write_time(folder_ / "1100.id") - downloaded)
          .count(),
      0);
}

TEST_F(ReportWindowTest, FailedAcceptKeepsTheWindowAndBothFiles) {
  boxText.clear();
  boxTimer = SetTimer(nullptr, 0, 50, &AnswerErrorBox);
  Write("1100.id", "1%Old\r\n");
  Write("tmp.id", "1%New\r\n");
  fs::create_directories(folder_ / "1100.id.new" / "inside");  // the new snapshot cannot be written
  Open();
  // The message box is modal: a timer running inside its loop reads and answers it.
  Click(window_->XpB1());
  KillTimer(nullptr, boxTimer);
  test::PumpMessages();
  const bool sawMessage = !boxText.empty();
  const std::wstring messageText = boxText;
  EXPECT_TRUE(sawMessage);
  EXPECT_NE(messageText.find(L"Не удалось сохранить"), std::wstring::npos) << win::Narrow(messageText);
  EXPECT_NE(window_->Handle(), nullptr) << "the report stays open";
  EXPECT_EQ(closed_, 0);
  EXPECT_EQ(Read("1100.id"), "1%Old\r\n");
  EXPECT_EQ(Read("tmp.id"), "1%New\r\n");
}

TEST_F(ReportWindowTest, TmpListThatCannotBeDeletedIsToldAndTheReportCloses) {
  Write("1100.id", "1%Old\r\n");
  Write("tmp.id", "1%New\r\n");
  // Another program reads tmp.id and allows no deleting meanwhile.
  const HANDLE held = CreateFileW((folder_ / "tmp.id").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  boxText.clear();
  boxTimer = SetTimer(nullptr, 0, 50, &AnswerErrorBox);
  Open();
  Click(window_->XpB1());
  KillTimer(nullptr, boxTimer);
  CloseHandle(held);
  test::PumpMessages();
  EXPECT_EQ(Read("1100.id"), "1%New\r\n") << "the new list is stored";
  EXPECT_TRUE(fs::exists(folder_ / "tmp.id")) << "the held file could not be deleted";
  EXPECT_NE(boxText.find(L"tmp.id"), std::wstring::npos) << "the user is told: " << win::Narrow(boxText);
  EXPECT_EQ(window_->Handle(), nullptr) << "nothing is lost, so the report closes";
  EXPECT_EQ(closed_, 1);
}

TEST_F(ReportWindowTest, CloseButtonAndCloseBoxLeaveTheFiles) {
  Write("1100.id", "1%Old\r\n");
  Write("tmp.id", "1%New\r\n");
  Open();
  Click(window_->XpB2());
  EXPECT_EQ(window_->Handle(), nullptr);
  EXPECT_EQ(closed_, 1);
  EXPECT_EQ(Read("1100.id"), "1%Old\r\n");
  EXPECT_EQ(Read("tmp.id"), "1%New\r\n");

  // Checked again: the same change is reported again; the close box closes too.
  Open();
  EXPECT_EQ(ItemsOf(window_->List(ReportList::List3)), std::vector<std::wstring>{L"Old\tNew"});
  SendMessageW(window_->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  test::PumpMessages();
  EXPECT_EQ(window_->Handle(), nullptr);
  EXPECT_EQ(closed_, 2);
  EXPECT_EQ(Read("tmp.id"), "1%New\r\n");
}

TEST_F(ReportWindowTest, DoubleClickOpensTheMemberPage) {
  Write("1100.id", "20%Gone\r\n30%Was\r\n");
  Write("tmp.id", "10%A\r\n11%B\r\n30%Is\r\n");
  Open();
  DoubleClickRow(window_->List(ReportList::List1), 1);
  DoubleClickRow(window_->List(ReportList::List2), 0);
  DoubleClickRow(window_->List(ReportList::List3), 0);
  const std::string base = std::string("http://") + deploy::kMainHost + "/member/?";
  EXPECT_EQ(opened_, (std::vector<std::string>{base + "11", base + "20", base + "30"}));

  // Nothing selected: nothing happens.
  opened_.clear();
  const HWND list1 = window_->List(ReportList::List1);
  SendMessageW(list1, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  SendMessageW(window_->Handle(), WM_COMMAND, MAKEWPARAM(kReportList1, LBN_DBLCLK),
               reinterpret_cast<LPARAM>(list1));
  EXPECT_TRUE(opened_.empty());
  EXPECT_NE(window_->Handle(), nullptr);
}

TEST_F(ReportWindowTest, ButtonsSwapPicturesOnHover) {
  Write("tmp.id", "1%A\r\n");
  Open();
  int unused = 0;
  window_->XpB1().events.MouseIn(unused);
  EXPECT_EQ(window_->XpB1().Picture().bitmap, window_->Picture(2));
  window_->XpB1().events.MouseOut(unused);
  EXPECT_EQ(window_->XpB1().Picture().bitmap, window_->Picture(1));
  window_->XpB2().events.MouseIn(unused);
  EXPECT_EQ(window_->XpB2().Picture().bitmap, window_->Picture(4));
  window_->XpB2().events.MouseOut(unused);
  EXPECT_EQ(window_->XpB2().Picture().bitmap, window_->Picture(3));
}

TEST_F(ReportWindowTest, HundredThousandReadersAppearQuickly) {
  std::string list;
  list.reserve(100000 * 20);
  for (int i = 0; i < 100000; ++i)
    list += std::to_string(100000 + i) + "%reader" + std::to_string(i) + "\r\n";
  Write("tmp.id", list);
  Write("1100.id", "1%gone\r\n");
  const ULONGLONG start = GetTickCount64();
  Open();
  UpdateWindow(window_->Handle());
  const ULONGLONG elapsed = GetTickCount64() - start;
  std::printf("report window with 100000 subscribed readers shown in %llu ms\n",
              static_cast<unsigned long long>(elapsed));
  RecordProperty("ShownMs", static_cast<int>(elapsed));
  EXPECT_EQ(SendMessageW(window_->List(ReportList::List1), LB_GETCOUNT, 0, 0), 100000);
  EXPECT_EQ(TextOf(window_->Label(1)), L"Подписались (100000)");
  EXPECT_EQ(TextOf(window_->Label(2)), L"Отписались (1)");
}

// The road from a successful parse: the report over the program, and the
// main window back with command 1 in its normal look however it closes.
TEST_F(ReportWindowTest, OpenReportEndsOnTheMainWindow) {
  Application app(folder_);
  ASSERT_TRUE(app.Start(SW_SHOWNOACTIVATE));
  app.Values().settings.ID = "1100";
  ShowWindow(app.Main()->Handle(), SW_HIDE);
  app.Main()->Model().HighlightButton(1);
  Write("tmp.id", "1%A\r\n");
  OpenReport(app, Utf8ToCp1251("Хозяин"));
  const HWND report = FindWindowW(kReportClassName, nullptr);
  ASSERT_NE(report, nullptr);
  EXPECT_TRUE(IsWindowVisible(report));
  EXPECT_FALSE(IsWindowVisible(app.Main()->Handle()));
  EXPECT_EQ(TextOf(GetDlgItem(report, kReportLabelBase + 7)), L"Хозяин");
  SendMessageW(report, WM_CLOSE, 0, 0);
  ASSERT_TRUE(test::WaitFor([&] { return !IsWindow(report); }));
  EXPECT_TRUE(IsWindowVisible(app.Main()->Handle()));
  EXPECT_EQ(app.Main()->ButtonPicture(1), MainPicture::Picture2) << "command 1 back in its normal look";
  EXPECT_EQ(Read("tmp.id"), "1%A\r\n");
  test::PumpMessages();
}

TEST_F(ReportWindowTest, ShortListShowsTheRedLineAndAsksBeforeStoring) {
  Write("1100.id", "121%Раз\r\n");
  Write("tmp.id", "121%Раз\r\n122%Два\r\n123%Три\r\n124%Четыре\r\n");
  Open("Owner", 5);
  const HWND warning = window_->Control(kReportWarning);
  EXPECT_TRUE(IsWindowVisible(warning));
  EXPECT_EQ(TextOf(warning),
            L"Получено читателей: 4 из 5, указанных на странице. Список может быть неполным.");
  RECT line{}, count{};
  GetWindowRect(warning, &line);
  GetWindowRect(window_->Label(9), &count);
  EXPECT_GE(line.top, count.bottom) << "under the counts";
  const std::string snapshot = Read("1100.id");
  // Enter on the real question is "Нет".
  defaultButton = 0;
  boxTimer = SetTimer(nullptr, 0, 50, &PressEnter);
  Click(window_->XpB1());
  KillTimer(nullptr, boxTimer);
  EXPECT_EQ(defaultButton, IDNO);
  EXPECT_EQ(closed_, 0);
  EXPECT_EQ(Read("1100.id"), snapshot);
  std::vector<std::string> asked;
  bool answer = false;
  window_->askHook = [&](const std::string& q) {
    asked.push_back(Cp1251ToUtf8(q));
    return answer;
  };
  Click(window_->XpB1());
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0],
            "Список читателей может быть неполным: получено 4 из 5.\r\n\r\nВсё равно сохранить его?");
  EXPECT_EQ(closed_, 0) << "No keeps the report open";
  EXPECT_EQ(Read("1100.id"), snapshot);
  EXPECT_FALSE(fs::exists(folder_ / "1100.history.txt"));
  answer = true;
  Click(window_->XpB1());
  EXPECT_EQ(closed_, 1);
  EXPECT_EQ(Read("1100.id"), Utf8ToCp1251("121%Раз\r\n122%Два\r\n123%Три\r\n124%Четыре\r\n"));
  EXPECT_NE(Read("1100.history.txt").find(Utf8ToCp1251("\t+\t124\tЧетыре\r\n")), std::string::npos);
}

TEST_F(ReportWindowTest, EveryListCopiesItsLines) {
  Write("1100.id", "1%Анна\r\n2%Boris\r\n");
  Write("tmp.id", "1%Анна Н.\r\n3%Вера\r\n4%Глеб\r\n");
  Open();
  EXPECT_FALSE(IsWindowVisible(window_->Control(kReportWarning)));
  test::ClearClipboard();
  test::PressCtrlC(window_->List(ReportList::List1), 1);
  EXPECT_EQ(test::ClipboardText(), L"Глеб");
  test::ChooseFromContextMenu(window_->List(ReportList::List1), 0, 2);
  EXPECT_EQ(test::ClipboardText(), L"Вера\r\nГлеб");
  test::PressCtrlC(window_->List(ReportList::List2), 0);
  EXPECT_EQ(test::ClipboardText(), L"Boris");
  test::ChooseFromContextMenu(window_->List(ReportList::List3), 0, 1);
  EXPECT_EQ(test::ClipboardText(), L"Анна\tАнна Н.");
}

}  // namespace
}  // namespace tw
