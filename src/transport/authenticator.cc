// The authenticator every request carries: user, password and the shifted
// local time in a scrambled, CRC-checked block (codec in auth_codec.cc).
#include "transport/authenticator.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/frame.h"
#include "transport/auth_codec.h"

bool ShiftedTimeField(const SYSTEMTIME& localTime, char field[11]) {
  FILETIME fileTime;
  if (!SystemTimeToFileTime(&localTime, &fileTime)) return false;
  fileTime.dwHighDateTime += 100;
  SYSTEMTIME shifted;
  if (!FileTimeToSystemTime(&fileTime, &shifted)) return false;
  int year = shifted.wYear;
  if (year > 100) year = year < 2000 ? year - 1900 : year - 2000;
  char text[32];
  snprintf(text, sizeof text, "%02d%02d%02d%02d%02d", year % 100, shifted.wMonth, shifted.wDay, shifted.wHour,
           shifted.wMinute);
  memcpy(field, text, 10);
  field[10] = '\0';
  return true;
}

bool CreateAuthenticatorAt(const char* user, const char* password, int32_t level, const SYSTEMTIME& localTime,
                           const uint8_t random[4], char* out) {
  out[0] = '\0';
  if (DebugLevel > 0) {
    DebugPrint("   time %04d%02d%02d%02d%02d\n", localTime.wYear, localTime.wMonth, localTime.wDay, localTime.wHour,
               localTime.wMinute);
  }
  char field[11];
  if (!ShiftedTimeField(localTime, field)) {
    SetErrorText("Can't convert the local time for the authenticator.");
    return false;
  }
  uint8_t block[auth::BlockSize];
  size_t size = auth::BuildBlock(block, user, random, field, password);
  char digits[16];
  snprintf(digits, sizeof digits, "%d", static_cast<int>(level));
  if (size == 0 || auth::EncodedLength(size) + strlen(digits) > auth::MaxEncodedLength) {
    SetErrorText("Password is too long for the authenticator.");
    return false;
  }
  auth::Scramble(block, size);
  auth::Encode(block, size, out);
  strcat(out, digits);
  return true;
}

bool CreateAuthenticator(const char* user, const char* password, int32_t level, char* out) {
  srand(GetTickCount());
  uint8_t random[4];
  for (uint8_t& r : random) r = static_cast<uint8_t>(rand() & 0xFF);
  SYSTEMTIME now;
  GetLocalTime(&now);
  return CreateAuthenticatorAt(user, password, level, now, random, out);
}
