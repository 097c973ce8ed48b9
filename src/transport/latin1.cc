// ISO 8859-1 conversion between wide and 8-bit text (see latin1.h).
#include "transport/latin1.h"

size_t WideToLatin1(const wchar_t* in, char* out, size_t outSize) {
  if (outSize == 0) return 0;
  size_t n = 0;
  if (in) {
    for (; in[n] && n + 1 < outSize; ++n) {
      unsigned long c = static_cast<unsigned long>(in[n]);
      out[n] = c <= 0xFF ? static_cast<char>(static_cast<unsigned char>(c)) : NoLatin1Form;
    }
  }
  out[n] = '\0';
  return n;
}

size_t Latin1ToWide(const char* in, wchar_t* out, size_t outSize) {
  if (outSize == 0) return 0;
  size_t n = 0;
  if (in) {
    for (; in[n] && n + 1 < outSize; ++n) out[n] = static_cast<wchar_t>(static_cast<unsigned char>(in[n]));
  }
  out[n] = L'\0';
  return n;
}

bool IsLatin1(const wchar_t* text) {
  for (; text && *text; ++text) {
    if (static_cast<unsigned long>(*text) > 0xFF) return false;
  }
  return true;
}

std::string Narrow(const wchar_t* text) {
  std::string out;
  for (; text && *text; ++text) {
    unsigned long c = static_cast<unsigned long>(*text);
    out.push_back(c <= 0xFF ? static_cast<char>(static_cast<unsigned char>(c)) : NoLatin1Form);
  }
  return out;
}

std::wstring Widen(const char* text) {
  std::wstring out;
  for (; text && *text; ++text) out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*text)));
  return out;
}
