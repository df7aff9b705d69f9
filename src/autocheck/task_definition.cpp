#include "autocheck/task_definition.h"

#include <cstdint>
#include <cstdio>

namespace tw {

namespace {

std::string XmlEscaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
long DaysFromCivil(long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long>(doe) - 719468;
}

void CivilFromDays(long z, long& y, unsigned& m, unsigned& d) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<long>(yoe) + era * 400 + (m <= 2);
}

}  // namespace

std::vector<std::string> CheckTimeChoices() {
  std::vector<std::string> hours;
  for (int h = 0; h < 24; ++h) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d:00", h);
    hours.emplace_back(text);
  }
  return hours;
}

std::string FolderId(const std::filesystem::path& folder) {
  std::u16string text = folder.u16string();
  for (char16_t& c : text) {
    if (c == u'/') c = u'\\';
    // Windows paths ignore case; Latin and Cyrillic letters fold.
    if ((c >= u'A' && c <= u'Z') || (c >= u'\u0410' && c <= u'\u042F')) c = static_cast<char16_t>(c + 0x20);
    if (c >= u'\u0400' && c <= u'\u040F') c = static_cast<char16_t>(c + 0x50);
  }
  while (text.size() > 1 && text.back() == u'\\') text.pop_back();
  std::uint32_t hash = 2166136261u;  // FNV-1a over the UTF-16 units
  for (char16_t c : text) {
    for (int shift : {0, 8}) {
      hash ^= static_cast<std::uint8_t>(c >> shift);
      hash *= 16777619u;
    }
  }
  char id[9];
  std::snprintf(id, sizeof id, "%08x", static_cast<unsigned>(hash));
  return id;
}

std::string TaskName(const std::filesystem::path& folder) { return "Tallywick " + FolderId(folder); }

std::string NextStartBoundary(const std::tm& now, std::string_view time) {
  const int hour = (time[0] - '0') * 10 + (time[1] - '0');
  const int minute = (time[3] - '0') * 10 + (time[4] - '0');
  long days = DaysFromCivil(now.tm_year + 1900L, static_cast<unsigned>(now.tm_mon + 1),
                            static_cast<unsigned>(now.tm_mday));
  if (hour * 60 + minute <= now.tm_hour * 60 + now.tm_min) ++days;
  long y = 0;
  unsigned m = 0;
  unsigned d = 0;
  CivilFromDays(days, y, m, d);
  char text[64];
  std::snprintf(text, sizeof text, "%04ld-%02u-%02uT%02d:%02d:00", y, m, d, hour, minute);
  return text;
}

TaskAction CheckAction(const std::filesystem::path& exe) {
  const auto utf8 = [](const std::filesystem::path& p) {
    const std::u8string text = p.u8string();
    return std::string(text.begin(), text.end());
  };
  return {utf8(exe), "/check", utf8(exe.parent_path())};
}

std::string TaskXml(const TaskAction& action, std::string_view startBoundary) {
  std::string xml;
  xml += "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n";
  xml += "<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\n";
  xml += "  <RegistrationInfo>\n";
  xml += "    <Description>Tallywick: ежедневная проверка списка читателей</Description>\n";
  xml += "  </RegistrationInfo>\n";
  xml += "  <Triggers>\n";
  xml += "    <CalendarTrigger>\n";
  xml += "      <StartBoundary>" + XmlEscaped(startBoundary) + "</StartBoundary>\n";
  xml += "      <Enabled>true</Enabled>\n";
  xml += "      <ScheduleByDay>\n";
  xml += "        <DaysInterval>1</DaysInterval>\n";
  xml += "      </ScheduleByDay>\n";
  xml += "    </CalendarTrigger>\n";
  xml += "  </Triggers>\n";
  xml += "  <Principals>\n";
  xml += "    <Principal id=\"Author\">\n";
  xml += "      <LogonType>InteractiveToken</LogonType>\n";
  xml += "      <RunLevel>LeastPrivilege</RunLevel>\n";
  xml += "    </Principal>\n";
  xml += "  </Principals>\n";
  xml += "  <Settings>\n";
  xml += "    <MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>\n";
  xml += "    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>\n";
  xml += "    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>\n";
  xml += "    <StartWhenAvailable>true</StartWhenAvailable>\n";
  xml += "    <ExecutionTimeLimit>" + std::string(kTaskTimeLimit) + "</ExecutionTimeLimit>\n";
  xml += "    <Enabled>true</Enabled>\n";
  xml += "  </Settings>\n";
  xml += "  <Actions Context=\"Author\">\n";
  xml += "    <Exec>\n";
  xml += "      <Command>" + XmlEscaped(action.command) + "</Command>\n";
  xml += "      <Arguments>" + XmlEscaped(action.arguments) + "</Arguments>\n";
  xml += "      <WorkingDirectory>" + XmlEscaped(action.workingDirectory) + "</WorkingDirectory>\n";
  xml += "    </Exec>\n";
  xml += "  </Actions>\n";
  xml += "</Task>\n";
  return xml;
}

}  // namespace tw
