#include "app/main_window_model.h"

#include <system_error>

#include "deployment.h"
#include "files/atomic_file.h"
#include "program/program.h"
#include "text/cp1251.h"

namespace tw {

IntroState MainWindowModel::State() const {
  if (values_.IntroDone) return IntroState::Ready;
  return backgroundSet_ ? IntroState::Revealing : IntroState::Waiting;
}

void MainWindowModel::SetTimer(MainTimer timer, bool enabled) {
  timers_[static_cast<int>(timer)] = enabled;
  view_.SetTimer(timer, enabled);
}

void MainWindowModel::DeleteTmpList() { DeleteForced(values_.programFolder / kTmpListFile); }

bool MainWindowModel::Load() {
  if (host_.AnotherInstanceRunning()) {
    view_.ShowSecondInstanceMessage();
    host_.EndProgram();
    return false;
  }
  for (int n = 1; n <= 3; ++n) RestoreButton(n);
  view_.SetBackground(MainPicture::Picture10);
  if (values_.IntroDone) {
    view_.SetBackground(MainPicture::Picture11);
    for (int n = 1; n <= 3; ++n) view_.ShowButton(n);
  } else {
    host_.LoadSettings();
  }
  view_.SetCaption(MainCaption(kProgramVersion, values_.settings.ID));
  DeleteTmpList();
  return true;
}

void MainWindowModel::OnMouseMove() {
  if (values_.IntroDone) return;
  if (!TimerEnabled(MainTimer::Timer4)) SetTimer(MainTimer::Timer4, true);
  // Checking Timer1 alone would start Timer2 and Timer3 again when the
  // pointer moves between the first and the last reveal; the reveal runs once.
  if (!revealStarted_) {
    revealStarted_ = true;
    SetTimer(MainTimer::Timer1, true);
    SetTimer(MainTimer::Timer2, true);
    SetTimer(MainTimer::Timer3, true);
  }
  if (!backgroundSet_) {
    view_.SetBackground(MainPicture::Picture11);
    backgroundSet_ = true;
  }
}

void MainWindowModel::OnTimer(MainTimer timer) {
  switch (timer) {
    case MainTimer::Timer1:
    case MainTimer::Timer2:
    case MainTimer::Timer3: {
      const int n = static_cast<int>(timer);
      SetTimer(timer, false);
      view_.ShowButton(n);
      if (timer == MainTimer::Timer3) values_.IntroDone = true;
      break;
    }
    case MainTimer::Timer4:
      SetTimer(MainTimer::Timer5, true);
      winkStep_ = 0;
      break;
    case MainTimer::Timer5:
      ++winkStep_;
      switch (winkStep_) {
        case 1:
        case 3:
        case 5:
          view_.SetLabel1(".)");
          break;
        case 2:
        case 4:
        case 6:
          view_.SetLabel1(":)");
          break;
        case 7:
          view_.SetLabel1("  ");
          SetTimer(MainTimer::Timer5, false);
          winkStep_ = 0;
          break;
        default:
          break;
      }
      break;
  }
}

void MainWindowModel::HighlightButton(int n) {
  if (n < 1 || n > 3) return;
  const MainButtonRow& row = kMainButtons[n - 1];
  view_.SetButtonPicture(n, row.hover);
  view_.SetBackground(row.background);
}

void MainWindowModel::RestoreButton(int n) {
  view_.SetBackground(MainPicture::Picture11);
  if (n < 1 || n > 3) return;
  view_.SetButtonPicture(n, kMainButtons[n - 1].normal);
}

void MainWindowModel::OnButtonClick(int n) {
  switch (n) {
    case 1:
      view_.Hide();
      RestoreButton(1);
      if (!values_.settings.ID.empty()) {
        host_.ShowDownload();
      } else {
        host_.ShowOptions();
      }
      break;
    case 2:
      view_.Unload();
      host_.ShowOptions();
      break;
    case 3:
      OnClose();
      break;
    default:
      break;
  }
}

void MainWindowModel::OnLabel1Click() { view_.OpenUrl(deploy::kQuotesUrl); }

void MainWindowModel::OnImage1Click() { view_.ShowAbout(); }

void MainWindowModel::OnClose() {
  DeleteTmpList();
  host_.EndProgram();
}

}  // namespace tw
