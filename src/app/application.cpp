#include "app/application.h"

#include <utility>
#include <vector>

#include "settings/settings.h"

namespace tw {

namespace {
constexpr UINT kRunLater = WM_APP + 1;
}

class Application::Messenger : public win::Window {
 public:
  explicit Messenger(Application& app)
      : app_(app), reportRequest_(RegisterWindowMessageW(kReportRequestMessage)) {
    CreateWindowOf(kMessengerClassName, 0, 0, L"", 0, 0, 0, 0, HWND_MESSAGE, nullptr);
  }
  void Post(std::function<void()> work) {
    queue_.push_back(std::move(work));
    PostMessageW(Handle(), kRunLater, 0, 0);
  }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == reportRequest_ && reportRequest_ != 0) {
      if (app_.onReportRequest) app_.onReportRequest();
      return 1;
    }
    if (msg != kRunLater) return Default(msg, wParam, lParam);
    std::vector<std::function<void()>> work = std::exchange(queue_, {});
    for (auto& item : work) item();
    return 0;
  }

 private:
  Application& app_;
  UINT reportRequest_;
  std::vector<std::function<void()>> queue_;
};

Application::Application(std::filesystem::path programFolder)
    : messenger_(std::make_unique<Messenger>(*this)) {
  values_.programFolder = std::move(programFolder);
}

Application::~Application() = default;

void Application::Later(std::function<void()> work) { messenger_->Post(std::move(work)); }

bool Application::AnotherInstanceRunning() {
  // The name is taken once and held for the whole run, so a later load of
  // the main window finds only its own copy.
  if (!instance_) instance_ = std::make_unique<win::SingleInstance>();
  return instance_->AnotherIsRunning();
}

void Application::LoadSettings() { tw::LoadSettings(values_.programFolder, values_.settings); }

bool Application::Start(int show) {
  main_ = std::make_unique<MainWindow>(*this, values_);
  if (!main_->Load()) return false;
  main_->Show(show);
  return true;
}

int Application::Run() { return win::RunMessageLoop(); }

void Application::ShowMain() {
  if (main_ && main_->Handle() != nullptr) main_->Show();
}

void Application::LoadMain() {
  unloaded_ = std::move(main_);
  main_ = std::make_unique<MainWindow>(*this, values_);
  main_->OpenOn(screen_);
  if (main_->Load()) main_->Show();
  Later([this] { unloaded_.reset(); });
}

void Application::ShowDownload() {
  if (main_) screen_ = main_->Screen();
  if (onStartCheck) {
    onStartCheck();
  } else {
    Later([this] { ShowMain(); });
  }
}

void Application::ShowOptions() {
  if (main_) screen_ = main_->Screen();
  if (onOpenOptions) {
    onOpenOptions();
  } else {
    Later([this] { LoadMain(); });
  }
}

win::Window* Application::Keep(std::unique_ptr<win::Window> window) {
  kept_.push_back(std::move(window));
  return kept_.back().get();
}

void Application::Drop(win::Window* window) {
  for (auto it = kept_.begin(); it != kept_.end(); ++it) {
    if (it->get() != window) continue;
    if (HMONITOR screen = window->Screen(); screen != nullptr) screen_ = screen;
    std::shared_ptr<win::Window> dropped(std::move(*it));
    kept_.erase(it);
    Later([dropped] {});
    return;
  }
}

void Application::EndProgram() { PostQuitMessage(0); }

}  // namespace tw
