// Terminal text (see terminal.h).
#include "terminal.h"

#include <langinfo.h>

#include <clocale>
#include <cstdint>
#include <cstring>

namespace {

bool g_utf8 = true;

void AppendUtf8(uint32_t c, std::string* out) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// Decodes well-formed UTF-8; false otherwise.
bool DecodeUtf8(const std::string& bytes, std::wstring* out) {
  out->clear();
  for (size_t i = 0; i < bytes.size();) {
    unsigned char b = static_cast<unsigned char>(bytes[i]);
    int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0) return false;
    uint32_t c = extra == 0 ? b : b & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      if (i + k >= bytes.size()) return false;
      unsigned char n = static_cast<unsigned char>(bytes[i + k]);
      if ((n & 0xC0) != 0x80) return false;
      c = (c << 6) | (n & 0x3F);
    }
    if ((extra == 1 && c < 0x80) || (extra == 2 && c < 0x800) || (extra == 3 && (c < 0x10000 || c > 0x10FFFF)) ||
        (c >= 0xD800 && c <= 0xDFFF)) {
      return false;
    }
    out->push_back(static_cast<wchar_t>(c));
    i += static_cast<size_t>(extra) + 1;
  }
  return true;
}

struct TransportError {
  int number;
  const char* words;
};

const TransportError kTransportErrors[] = {
    {12001, "no more connection handles"},
    {12002, "the server did not answer in time"},
    {12004, "internal error of the network layer"},
    {12005, "the server address is not a valid URL"},
    {12007, "the server name could not be resolved"},
    {12009, "an invalid network option"},
    {12014, "the password was refused"},
    {12029, "cannot connect to the server: is it running, and are the address and port right?"},
    {12030, "the connection to the server was aborted"},
    {12031, "the server reset the connection"},
    {12037, "the server's certificate has expired or is not yet valid"},
    {12038, "the server's certificate is for another name"},
    {12045, "the server's certificate is not signed by a trusted authority"},
    {12152, "the server's reply could not be understood"},
    {12157, "the secure channel could not be set up"},
};

}  // namespace

void InitTerminalEncoding() {
  setlocale(LC_CTYPE, "");
  const char* codeset = nl_langinfo(CODESET);
  // The C locale (no LANG) says ANSI_X3.4-1968; UTF-8 is the safer guess there.
  g_utf8 = !codeset || std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0 ||
           std::strcmp(codeset, "ANSI_X3.4-1968") == 0;
}

std::string ForTerminal(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) {
    uint32_t code = static_cast<uint32_t>(c);
    if (g_utf8) {
      AppendUtf8(code > 0x10FFFF ? 0xFFFD : code, &out);
    } else {
      out.push_back(code <= 0xFF ? static_cast<char>(code) : '?');
    }
  }
  return out;
}

std::string Latin1ForTerminal(const std::string& latin1) {
  std::wstring wide;
  for (unsigned char c : latin1) wide.push_back(static_cast<wchar_t>(c));
  return ForTerminal(wide);
}

std::wstring FromTerminal(const std::string& word) {
  std::wstring wide;
  if (g_utf8 && DecodeUtf8(word, &wide)) return wide;
  wide.clear();
  for (unsigned char c : word) wide.push_back(static_cast<wchar_t>(c));
  return wide;
}

std::string ExplainTransportErrors(const std::string& text) {
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    size_t start = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    if (i == start) {
      out.push_back(text[i++]);
      continue;
    }
    std::string digits = text.substr(start, i - start);
    out += digits;
    bool word = (start == 0 || !(text[start - 1] >= '0' && text[start - 1] <= '9'));
    for (const TransportError& e : kTransportErrors) {
      if (word && digits == std::to_string(e.number)) out += std::string(" (") + e.words + ")";
    }
  }
  return out;
}
