#include "settings/ini_file.h"

#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

#include "files/atomic_file.h"

namespace tw {
namespace {

// Blanks the profile reader trims around names and values; it takes Ctrl+Z
// (0x1A) for a blank as well.
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\x1a';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

unsigned char FoldCase(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDF) return static_cast<unsigned char>(c + 32);  // А-Я
  switch (c) {
    case 0x80:
      return 0x90;  // Ђ
    case 0x81:
      return 0x83;  // Ѓ
    case 0x8A:
      return 0x9A;  // Љ
    case 0x8C:
      return 0x9C;  // Њ
    case 0x8D:
      return 0x9D;  // Ќ
    case 0x8E:
      return 0x9E;  // Ћ
    case 0x8F:
      return 0x9F;  // Џ
    case 0xA1:
      return 0xA2;  // Ў
    case 0xA3:
      return 0xBC;  // Ј
    case 0xA5:
      return 0xB4;  // Ґ
    case 0xA8:
      return 0xB8;  // Ё
    case 0xAA:
      return 0xBA;  // Є
    case 0xAF:
      return 0xBF;  // Ї
    case 0xB2:
      return 0xB3;  // І
    case 0xBD:
      return 0xBE;  // Ѕ
    default:
      return c;
  }
}

// One line of the file: its bytes without the line break, and the break
// ("\r\n", "\n", "\r" or nothing on the last line).
struct Line {
  std::size_t start;
  std::size_t contentEnd;
  std::size_t end;
};

enum class LineKind { Blank, Section, Key };

struct Parsed {
  LineKind kind = LineKind::Blank;
  std::string_view name;                  // section or key name
  std::optional<std::string_view> value;  // after "=", left-trimmed
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  std::size_t pos = 0;
  // A leading UTF-8 byte order mark (left by an editor) belongs to no line.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") pos = 3;
  while (pos < text.size()) {
    std::size_t endOfContent = pos;
    while (endOfContent < text.size() && text[endOfContent] != '\r' && text[endOfContent] != '\n') {
      ++endOfContent;
    }
    std::size_t end = endOfContent;
    if (end < text.size()) {
      if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
        end += 2;
      } else {
        end += 1;
      }
    }
    lines.push_back({pos, endOfContent, end});
    pos = end;
  }
  return lines;
}

Parsed ParseLine(std::string_view content) {
  Parsed parsed;
  const std::string_view line = Trim(content);
  if (line.empty()) return parsed;
  if (line.front() == '[') {
    const std::size_t close = line.find(']', 1);
    if (close != std::string_view::npos) {
      parsed.kind = LineKind::Section;
      // The platform ignores blanks inside the brackets: "[ Main ]" is Main.
      parsed.name = Trim(line.substr(1, close - 1));
      return parsed;
    }
    // "[name" without "]" is an ordinary key line to the profile reader.
  }
  parsed.kind = LineKind::Key;
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) {
    parsed.name = line;
    return parsed;
  }
  parsed.name = Trim(line.substr(0, eq));
  parsed.value = Trim(line.substr(eq + 1));
  return parsed;
}

std::string ReportedValue(std::string_view stored) {
  // The reader hands out C strings: a NUL ends the value.
  stored = stored.substr(0, stored.find('\0'));
  if (stored.size() >= 2 && stored.front() == stored.back() &&
      (stored.front() == '"' || stored.front() == '\'')) {
    stored = stored.substr(1, stored.size() - 2);
  }
  return std::string(stored.substr(0, kIniValueLimit));
}

// The text that makes the reader hand back exactly `value`. A value that
// starts or ends with a blank, or is wrapped in quotes, would lose them on the
// way back, so it goes between double quotes; line breaks cannot be held and
// become blanks.
std::string StoredForm(std::string_view value) {
  std::string text(value);
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  const bool quoted =
      text.size() >= 2 && text.front() == text.back() && (text.front() == '"' || text.front() == '\'');
  if (!text.empty() && (IsBlank(text.front()) || IsBlank(text.back()) || quoted)) {
    return '"' + text + '"';
  }
  return text;
}

std::string_view LineBreakStyle(std::string_view text, const std::vector<Line>& lines) {
  for (const Line& line : lines) {
    if (line.end > line.contentEnd) return text.substr(line.contentEnd, line.end - line.contentEnd);
  }
  return "\r\n";
}

}  // namespace

bool IniNamesEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(static_cast<unsigned char>(a[i])) != FoldCase(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

std::string IniReadValue(std::string_view text, std::string_view section, std::string_view key) {
  section = Trim(section);
  key = Trim(key);
  bool inSection = false;
  for (const Line& line : SplitLines(text)) {
    const Parsed parsed = ParseLine(text.substr(line.start, line.contentEnd - line.start));
    if (parsed.kind == LineKind::Section) {
      // Only the first section of a name counts.
      if (inSection) return "";
      inSection = IniNamesEqual(parsed.name, section);
    } else if (parsed.kind == LineKind::Key && inSection && IniNamesEqual(parsed.name, key)) {
      return parsed.value ? ReportedValue(*parsed.value) : "";
    }
  }
  return "";
}

std::string IniWriteValue(std::string_view text, std::string_view section, std::string_view key,
                          std::string_view value) {
  section = Trim(section);
  key = Trim(key);
  const std::vector<Line> lines = SplitLines(text);
  const std::string_view style = LineBreakStyle(text, lines);
  const std::string keyLine = std::string(key) + "=" + StoredForm(value);

  std::optional<std::size_t> header;    // index of the section's header line
  std::optional<std::size_t> lastUsed;  // last non-blank line of the section
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Parsed parsed = ParseLine(text.substr(lines[i].start, lines[i].contentEnd - lines[i].start));
    if (parsed.kind == LineKind::Section) {
      if (header) break;
      if (IniNamesEqual(parsed.name, section)) header = lastUsed = i;
    } else if (parsed.kind == LineKind::Key && header) {
      if (IniNamesEqual(parsed.name, key)) {
        std::string out(text.substr(0, lines[i].start));
        out += keyLine;
        out += text.substr(lines[i].contentEnd);
        return out;
      }
      lastUsed = i;
    }
  }

  std::string out;
  std::size_t insertAt = text.size();
  std::string_view breakAfter = style;
  if (lastUsed) {
    const Line& after = lines[*lastUsed];
    insertAt = after.end;
    if (after.end > after.contentEnd)
      breakAfter = text.substr(after.contentEnd, after.end - after.contentEnd);
  }
  out.append(text.substr(0, insertAt));
  // The line we follow may be the file's last one, without a break.
  if (!out.empty() && out.back() != '\n' && out.back() != '\r') out += breakAfter;
  if (!header) {
    out += '[';
    out += section;
    out += ']';
    out += breakAfter;
  }
  out += keyLine;
  out += breakAfter;
  out.append(text.substr(insertAt));
  return out;
}

std::string Ini::RINI(std::string_view section, std::string_view keyName) const {
  const std::optional<std::string> text = ReadFileBytes(fileName_);
  if (!text) return "";
  return IniReadValue(*text, section, keyName);
}

bool Ini::WInI(std::string_view section, std::string_view keyName, std::string_view keyValue) const {
  std::error_code ec;
  const bool exists = std::filesystem::exists(fileName_, ec);
  std::string text;
  if (exists) {
    std::optional<std::string> old = ReadFileBytes(fileName_);
    // A file that exists but cannot be read is not replaced by a fresh one.
    if (!old) return false;
    text = std::move(*old);
  }
  return WriteFileAtomic(fileName_, IniWriteValue(text, section, keyName, keyValue));
}

bool Ini::RINIb(std::string_view section, std::string_view keyName) const {
  return RINI(section, keyName) == "True";
}

bool Ini::WInIb(std::string_view section, std::string_view keyName, bool keyValue) const {
  return WInI(section, keyName, keyValue ? "True" : "False");
}

std::int16_t Ini::RINIi(std::string_view section, std::string_view keyName) const {
  return LeadingNumberToInt16(RINI(section, keyName));
}

bool Ini::WInIi(std::string_view section, std::string_view keyName, std::int16_t keyValue) const {
  return WInI(section, keyName, std::to_string(keyValue));
}

std::int16_t LeadingNumberToInt16(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  std::string number;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) number += text[i++];
  const auto digits = [&] {
    bool any = false;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
      number += text[i++];
      any = true;
    }
    return any;
  };
  bool any = digits();
  if (i < text.size() && text[i] == '.') {
    number += text[i++];
    any = digits() || any;
  }
  if (!any) return 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::string exponent = "e";
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
    if (j < text.size() && text[j] >= '0' && text[j] <= '9') {
      while (j < text.size() && text[j] >= '0' && text[j] <= '9') exponent += text[j++];
      number += exponent;
    }
  }
  const double value = std::nearbyint(std::strtod(number.c_str(), nullptr));
  if (!(value >= -32768.0)) return -32768;  // also NaN
  if (value > 32767.0) return 32767;
  return static_cast<std::int16_t>(value);
}

}  // namespace tw
