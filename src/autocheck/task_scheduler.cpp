#include "autocheck/task_scheduler.h"
// clang-format off
#include "win32/windows_headers.h"  // before the COM headers, which build on it
#include <oleauto.h>
#include <taskschd.h>
// clang-format on

#include <cstdio>
#include <ctime>
#include <string_view>
#include <vector>

#include "autocheck/task_definition.h"
#include "text/cp1251.h"
#include "win32/shell.h"

namespace tw::win {

namespace {

// A COM interface pointer released on scope exit.
template <typename T>
class Com {
 public:
  Com() = default;
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  ~Com() {
    if (p_ != nullptr) p_->Release();
  }
  T* operator->() const { return p_; }
  T* Get() const { return p_; }
  T** Out() { return &p_; }
  void** OutVoid() { return reinterpret_cast<void**>(&p_); }

 private:
  T* p_ = nullptr;
};

class Bstr {
 public:
  explicit Bstr(const std::wstring& text)
      : b_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  Bstr() = default;
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { SysFreeString(b_); }
  BSTR Get() const { return b_; }
  BSTR* Out() { return &b_; }
  std::wstring Text() const { return b_ != nullptr ? std::wstring(b_, SysStringLen(b_)) : std::wstring(); }

 private:
  BSTR b_ = nullptr;
};

std::wstring FromUtf8(const std::string& text) {
  if (text.empty()) return {};
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

std::string Failure(const char* what, HRESULT hr) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
  return std::string(what) + code;
}

// COM for this thread while the object lives; a thread that already has
// another apartment is used as it is.
class ComScope {
 public:
  ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  ~ComScope() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }

 private:
  HRESULT hr_;
};

// The connected service's root folder, or the reason it could not be had.
std::string RootFolder(Com<ITaskFolder>& root) {
  Com<ITaskService> service;
  HRESULT hr = CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                service.OutVoid());
  if (FAILED(hr)) return Failure("TaskScheduler ", hr);
  VARIANT none;
  VariantInit(&none);
  hr = service->Connect(none, none, none, none);
  if (FAILED(hr)) return Failure("ITaskService::Connect ", hr);
  Bstr path(L"\\");
  hr = service->GetFolder(path.Get(), root.Out());
  if (FAILED(hr)) return Failure("ITaskService::GetFolder ", hr);
  return {};
}

std::string Explained(const std::string& detail) {
  return cp1251("Планировщик заданий Windows не ответил (").str() + detail + ").";
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                              TRUE) == CSTR_EQUAL;
}

// The first action of a registered task, when it runs a program.
std::optional<FoundTask> ActionOf(IRegisteredTask* task) {
  Com<ITaskDefinition> definition;
  Com<IActionCollection> actions;
  Com<IAction> action;
  Com<IExecAction> exec;
  if (FAILED(task->get_Definition(definition.Out())) || FAILED(definition->get_Actions(actions.Out())) ||
      FAILED(actions->get_Item(1, action.Out())) ||
      FAILED(action->QueryInterface(IID_IExecAction, exec.OutVoid()))) {
    return std::nullopt;
  }
  Bstr path, arguments, directory;
  exec->get_Path(path.Out());
  exec->get_Arguments(arguments.Out());
  exec->get_WorkingDirectory(directory.Out());
  return FoundTask{path.Text(), arguments.Text(), directory.Text()};
}

constexpr wchar_t kTaskNamePrefix[] = L"Tallywick ";

}  // namespace

std::string RegisterCheckTask(const std::filesystem::path& exe, const std::string& time) {
  ComScope com;
  Com<ITaskFolder> root;
  if (std::string error = RootFolder(root); !error.empty()) return Explained(error);
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_s(&local, &now);
  Bstr xml(FromUtf8(TaskXml(CheckAction(exe), NextStartBoundary(local, time))));
  Bstr name(FromUtf8(TaskName(exe.parent_path())));
  VARIANT none;
  VariantInit(&none);
  VARIANT sddl;
  VariantInit(&sddl);
  Com<IRegisteredTask> task;
  // The user's own logon, no password stored, no elevation.
  const HRESULT hr = root->RegisterTask(name.Get(), xml.Get(), TASK_CREATE_OR_UPDATE, none, none,
                                        TASK_LOGON_INTERACTIVE_TOKEN, sddl, task.Out());
  if (FAILED(hr)) return Explained(Failure("RegisterTask ", hr));
  return {};
}

std::string DeleteCheckTask(const std::filesystem::path& folder) {
  ComScope com;
  Com<ITaskFolder> root;
  if (std::string error = RootFolder(root); !error.empty()) return Explained(error);
  Bstr name(FromUtf8(TaskName(folder)));
  const HRESULT hr = root->DeleteTask(name.Get(), 0);
  if (FAILED(hr) && hr != HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)) {
    return Explained(Failure("DeleteTask ", hr));
  }
  return {};
}

std::optional<FoundTask> FindCheckTask(const std::filesystem::path& folder, std::string* error) {
  ComScope com;
  Com<ITaskFolder> root;
  if (std::string failure = RootFolder(root); !failure.empty()) {
    if (error != nullptr) *error = Explained(failure);
    return std::nullopt;
  }
  Bstr name(FromUtf8(TaskName(folder)));
  Com<IRegisteredTask> task;
  if (FAILED(root->GetTask(name.Get(), task.Out()))) return std::nullopt;
  return ActionOf(task.Get()).value_or(FoundTask{});
}

std::string EnsureCheckTask(const std::filesystem::path& exe, const std::string& time) {
  std::string error;
  const std::optional<FoundTask> found = FindCheckTask(exe.parent_path(), &error);
  if (!error.empty()) return error;
  if (found && SamePath(found->command, exe.wstring()) && found->arguments == L"/check") return {};
  if (std::string failed = RegisterCheckTask(exe, time); !failed.empty()) return failed;
  DeleteOrphanedCheckTasks();
  return {};
}

void DeleteOrphanedCheckTasks() {
  ComScope com;
  Com<ITaskFolder> root;
  if (!RootFolder(root).empty()) return;
  Com<IRegisteredTaskCollection> tasks;
  if (FAILED(root->GetTasks(TASK_ENUM_HIDDEN, tasks.Out()))) return;
  LONG count = 0;
  tasks->get_Count(&count);
  std::vector<std::wstring> names;
  for (LONG i = 1; i <= count; ++i) {
    VARIANT index;
    VariantInit(&index);
    index.vt = VT_I4;
    index.lVal = i;
    Com<IRegisteredTask> task;
    Bstr name;
    if (FAILED(tasks->get_Item(index, task.Out())) || FAILED(task->get_Name(name.Out()))) continue;
    const std::wstring text = name.Text();
    if (!std::wstring_view(text).starts_with(kTaskNamePrefix)) continue;
    const std::optional<FoundTask> found = ActionOf(task.Get());
    // Only a check task whose program is gone: another copy's task stays.
    if (found && found->arguments == L"/check" && !found->command.empty() &&
        GetFileAttributesW(found->command.c_str()) == INVALID_FILE_ATTRIBUTES) {
      names.push_back(text);
    }
  }
  for (const std::wstring& name : names) {
    Bstr text(name);
    root->DeleteTask(text.Get(), 0);
  }
}

std::string SchedulerCheckTask::Register(const std::string& time) {
  return RegisterCheckTask(ProgramExe(), time);
}

std::string SchedulerCheckTask::Remove() { return DeleteCheckTask(ProgramFolder()); }

}  // namespace tw::win
