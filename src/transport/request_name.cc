// Checking and encoding the names a request carries (see request_name.h).
#include "transport/request_name.h"

#include <cwchar>

#include "host/frame.h"
#include "transport/latin1.h"

namespace {

// The name for a message: control characters shown as '?', cut when long.
std::string Shown(const wchar_t* name) {
  std::string shown;
  for (const wchar_t* p = name; *p && shown.size() < 60; ++p) {
    unsigned long c = static_cast<unsigned long>(*p);
    shown.push_back(c < 0x20 || c == 0x7F || c > 0xFF ? '?' : static_cast<char>(static_cast<unsigned char>(c)));
  }
  if (wcslen(name) > 60) shown += "...";
  return shown;
}

bool Refuse(const char* label, const wchar_t* name, const char* why) {
  SetErrorText("The %s \"%s\" cannot be sent to Kalvoro: %s.", label, Shown(name).c_str(), why);
  return false;
}

}  // namespace

bool RequestNameFits(const char* label, const wchar_t* name, bool mayBeEmpty) {
  if (!name || !*name) {
    if (mayBeEmpty) return true;
    SetErrorText("The %s is empty: give a name.", label);
    return false;
  }
  for (const wchar_t* p = name; *p; ++p) {
    unsigned long c = static_cast<unsigned long>(*p);
    if (c == L'\n' || c == L'\r') return Refuse(label, name, "it holds a line break");
    if (c < 0x20 || c == 0x7F) return Refuse(label, name, "it holds a control character");
    if (c == L'&') return Refuse(label, name, "it holds '&', which separates the fields of a request");
    if (c > 0xFF) return Refuse(label, name, "it holds characters outside ISO 8859-1");
  }
  return true;
}

std::wstring UrlField(const wchar_t* name) {
  static const wchar_t kHex[] = L"0123456789ABCDEF";
  std::wstring out;
  for (const wchar_t* p = name; p && *p; ++p) {
    wchar_t c = *p;
    bool plain = (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'-' ||
                 c == L'.' || c == L'_' || c == L'~';
    if (plain) {
      out.push_back(c);
    } else {
      unsigned long byte = static_cast<unsigned long>(c) & 0xFF;
      out.push_back(L'%');
      out.push_back(kHex[byte >> 4]);
      out.push_back(kHex[byte & 0x0F]);
    }
  }
  return out;
}
