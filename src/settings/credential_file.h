// The credential file "user.dat": login and password turned into digit
// strings, reversed and scattered over slots of a block of random filler in
// a marked text record. The layout is a fixed file format.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace tw {

// Slots are the positions (from 1) that are multiples of 49 above 100; the
// filler block (positions 66 to 5185) holds 103 of them.
inline constexpr std::size_t kCryptSlotCount = 103;
// Any credentials of this many characters together fit; a few more fit only
// when some are among the blank and the marks ! " # $ % & ' (.
inline constexpr std::size_t kCryptSafeCharacters = 25;

enum class CryptStatus {
  Written,
  Skipped,       // login, password or file name empty: nothing written
  TooLong,       // the digit forms do not fit the slots
  BadCharacter,  // a character with code 0 to 6 cannot survive the digit form
  WriteFailed,   // the file could not be written; an older one stays
};

struct CryptResult {
  CryptStatus status = CryptStatus::Written;
  std::size_t needed = 0;      // slots the credentials need (TooLong)
  std::size_t characters = 0;  // login and password length together
};

// The message (cp1251) for a refused or failed write; "" for Written/Skipped.
std::string CryptRefusalMessage(const CryptResult& result);

class Crypt {
 public:
  // Each call gives the next filler code, 50 to 199.
  using FillerSource = std::function<unsigned char()>;

  // Filler from a generator seeded once from the seconds of the clock.
  Crypt();
  explicit Crypt(FillerSource filler);

  // Crypt(crLogin, Pass, FN): writes the record for crLogin and Pass to FN,
  // replacing it in one rename. A method cannot share the class's name, so
  // the call reads `crypt(login, pass, path)`.
  CryptResult operator()(std::string_view crLogin, std::string_view pass, const std::filesystem::path& fn);

  // The whole file Crypt would write, in `bytes`; Skipped (nothing to write)
  // when the login or the password is empty.
  CryptResult FileBytes(std::string_view login, std::string_view pass, std::string& bytes);

  // The login when retStr is 1, the password otherwise; "" for a missing or
  // damaged file.
  std::string EnCrypt(const std::filesystem::path& fn, std::int32_t retStr) const;

  // The whole record (without the closing CR LF), or its refusal.
  CryptResult BuildRecord(std::string_view login, std::string_view pass, std::string& record);

 private:
  FillerSource filler_;
};

// The program's one Crypt, made on first use: its filler generator is
// seeded once, so two files written in the same second still differ.
Crypt& ProgramCrypt();

// Both values of a record's text; two empty strings for a damaged one.
struct Credentials {
  std::string login;
  std::string password;
};
Credentials ReadCredentialRecord(std::string_view text);

// The digit form: " " + decimal (code * 3 - 21) for every character.
std::string NumCode(std::string_view text);

}  // namespace tw
