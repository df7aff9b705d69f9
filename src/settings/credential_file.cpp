#include "settings/credential_file.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <memory>
#include <optional>
#include <random>

#include "files/atomic_file.h"
#include "text/cp1251.h"

namespace tw {
namespace {

constexpr std::size_t kFillerSize = 5120;
constexpr std::size_t kFirstChanged = 100;  // positions 1..100 never change
constexpr std::size_t kSlotStep = 49;

constexpr std::string_view kHeader =
    ";[Key File]\r\n;[Do not edit!]\r\n\r\n{bytes total 5120}\r\n{start key}\r\n";
constexpr std::string_view kAfterFiller = "\r\n{end key}\r\n\r\n{control code}\r\n";
constexpr std::string_view kControlMarker = "{control code}";
constexpr std::string_view kEndMarker = "{end file}";

// Inverse of NumCode; nullopt when a number is not plain decimal or names no
// character, as in a damaged record.
std::optional<std::string> NumDecode(std::string_view digits) {
  std::string out;
  std::size_t pos = digits.find(' ');
  while (pos != std::string_view::npos) {
    const std::size_t next = digits.find(' ', pos + 1);
    std::string_view number =
        digits.substr(pos + 1, next == std::string_view::npos ? std::string_view::npos : next - pos - 1);
    bool negative = false;
    if (!number.empty() && number.front() == '-') {
      negative = true;
      number.remove_prefix(1);
    }
    if (number.empty() || number.size() > 6) return std::nullopt;
    long n = 0;
    for (char c : number) {
      if (c < '0' || c > '9') return std::nullopt;
      n = n * 10 + (c - '0');
    }
    if (negative) n = -n;
    const long code = std::lround((n + 21) / 3.0);
    if (code < 0 || code > 255) return std::nullopt;
    out += static_cast<char>(code);
    pos = next;
  }
  return out;
}

// A length code's number: plain decimal digits, "" counting as 0.
std::optional<long> CodeValue(std::string_view text) {
  if (text.size() > 9) return std::nullopt;
  long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

// (value - offset) / 1024 rounded, ties to even; nullopt outside 0..32767.
std::optional<long> DecodedLength(long value, long offset) {
  const double length = std::nearbyint((value - offset) / 1024.0);
  if (length < 0 || length > 32767) return std::nullopt;
  return static_cast<long>(length);
}

std::string Reversed(std::string text) {
  std::reverse(text.begin(), text.end());
  return text;
}

Crypt::FillerSource ClockSeededFiller() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  const std::tm* local = std::localtime(&now);
  const unsigned seed = local ? static_cast<unsigned>(local->tm_sec) : 0u;
  auto engine = std::make_shared<std::mt19937>(seed);
  return [engine]() {
    std::uniform_int_distribution<int> codes(50, 199);
    return static_cast<unsigned char>(codes(*engine));
  };
}

}  // namespace

std::string NumCode(std::string_view text) {
  std::string out;
  for (char c : text) {
    out += ' ';
    out += std::to_string(static_cast<unsigned char>(c) * 3 - 21);
  }
  return out;
}

Crypt::Crypt() : filler_(ClockSeededFiller()) {}

Crypt& ProgramCrypt() {
  static Crypt crypt;
  return crypt;
}
Crypt::Crypt(FillerSource filler) : filler_(std::move(filler)) {}

CryptResult Crypt::BuildRecord(std::string_view login, std::string_view pass, std::string& record) {
  CryptResult result;
  result.characters = login.size() + pass.size();
  for (std::string_view text : {login, pass}) {
    for (char c : text) {
      if (static_cast<unsigned char>(c) <= 6) {
        result.status = CryptStatus::BadCharacter;
        return result;
      }
    }
  }
  const std::string loginDigits = Reversed(NumCode(login));
  const std::string passDigits = Reversed(NumCode(pass));
  const std::string secret = loginDigits + passDigits;
  result.needed = secret.size();
  // Slots past the filler block fall on markers and length codes; a record
  // written there could not be read back.
  if (secret.size() > kCryptSlotCount) {
    result.status = CryptStatus::TooLong;
    return result;
  }

  std::string t(kHeader);
  for (std::size_t i = 0; i < kFillerSize; ++i) t += static_cast<char>(filler_());
  t += kAfterFiller;
  t += NumCode(NumCode(std::to_string(loginDigits.size() * 1024 + 3)));
  t += '\0';
  t += NumCode(NumCode(std::to_string(passDigits.size() * 1024 + 5)));
  t += "\r\n";
  t += kEndMarker;

  std::size_t placed = 0;
  for (std::size_t k = kFirstChanged + 1; k <= t.size() && placed < secret.size(); ++k) {
    if (k % kSlotStep == 0) t[k - 1] = secret[placed++];
  }
  record = std::move(t);
  return result;
}

CryptResult Crypt::FileBytes(std::string_view login, std::string_view pass, std::string& bytes) {
  if (login.empty() || pass.empty()) return {CryptStatus::Skipped, 0, 0};
  CryptResult result = BuildRecord(login, pass, bytes);
  if (result.status == CryptStatus::Written) bytes += "\r\n";
  return result;
}

CryptResult Crypt::operator()(std::string_view crLogin, std::string_view pass,
                              const std::filesystem::path& fn) {
  if (fn.empty()) return {CryptStatus::Skipped, 0, 0};
  std::string bytes;
  CryptResult result = FileBytes(crLogin, pass, bytes);
  if (result.status == CryptStatus::Written && !WriteFileAtomic(fn, bytes))
    result.status = CryptStatus::WriteFailed;
  return result;
}

Credentials ReadCredentialRecord(std::string_view x) {
  // Positions below are counted from 1 as in the record's description.
  const std::size_t endAt = x.find(kEndMarker);
  const std::size_t e = endAt == std::string_view::npos ? 0 : endAt + 1;
  const std::size_t controlAt = x.find(kControlMarker);
  std::size_t i = (controlAt == std::string_view::npos ? 0 : controlAt + 1) + kControlMarker.size();
  std::string a;
  std::string b;
  while (i + 2 <= e) {
    if (x[i - 1] != '\0') {
      a += x[i - 1];
      ++i;
    } else {
      if (e >= i + 3) b = std::string(x.substr(i, e - 3 - i));
      break;
    }
  }
  const std::optional<std::string> aDigits = NumDecode(a);
  const std::optional<std::string> bDigits = NumDecode(b);
  if (!aDigits || !bDigits) return {};
  const std::optional<std::string> aText = NumDecode(*aDigits);
  const std::optional<std::string> bText = NumDecode(*bDigits);
  if (!aText || !bText) return {};
  const std::optional<long> aValue = CodeValue(*aText);
  const std::optional<long> bValue = CodeValue(*bText);
  if (!aValue || !bValue) return {};
  const std::optional<long> nL = DecodedLength(*aValue, 3);
  const std::optional<long> nP = DecodedLength(*bValue, 5);
  if (!nL || !nP) return {};

  const std::size_t wanted = static_cast<std::size_t>(*nL + *nP);
  std::string s;
  for (std::size_t k = kFirstChanged; k <= x.size() && s.size() < wanted; ++k) {
    if (k % kSlotStep == 0) s += x[k - 1];
  }
  if (s.size() < wanted) return {};  // the record is shorter than its codes say
  std::reverse(s.begin(), s.end());
  const std::optional<std::string> password = NumDecode(std::string_view(s).substr(0, *nP));
  const std::optional<std::string> login = NumDecode(std::string_view(s).substr(*nP, *nL));
  if (!password || !login) return {};
  return {*login, *password};
}

std::string Crypt::EnCrypt(const std::filesystem::path& fn, std::int32_t retStr) const {
  const std::optional<std::string> text = ReadFileBytes(fn);
  if (!text) return "";
  Credentials credentials = ReadCredentialRecord(*text);
  return retStr == 1 ? credentials.login : credentials.password;
}

std::string CryptRefusalMessage(const CryptResult& result) {
  switch (result.status) {
    case CryptStatus::TooLong:
      return cp1251(
                 "Логин и пароль вместе слишком длинные, чтобы их сохранить: вместе в них можно не "
                 "больше ")
                 .str() +
             std::to_string(kCryptSafeCharacters) + cp1251(" знаков, а сейчас ").str() +
             std::to_string(result.characters) + cp1251(" (логин и пароль не сохранены).").str();
    case CryptStatus::BadCharacter:
      return cp1251(
          "Логин или пароль содержит управляющий символ (коды 0-6), который нельзя сохранить. Логин и "
          "пароль не сохранены.");
    case CryptStatus::WriteFailed:
      return cp1251("Не удалось записать файл user.dat: логин и пароль не сохранены.");
    case CryptStatus::Written:
    case CryptStatus::Skipped:
      break;
  }
  return "";
}

}  // namespace tw
