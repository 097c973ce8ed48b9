// The platform helpers of our own on Windows; WinINet and the kernel calls
// come from the system (see port.h).
#include "port/port.h"

#include <share.h>
#include <wincrypt.h>

#include <cerrno>
#include <cstring>

namespace port {

namespace {

// The two crypt32 calls the certificate needs, loaded on first use so that
// the DLL imports only what every Windows has loaded anyway.
struct Crypt32 {
  using NameToStr = DWORD(WINAPI*)(DWORD, PCERT_NAME_BLOB, DWORD, LPSTR, DWORD);
  using FreeChain = void(WINAPI*)(PCCERT_CHAIN_CONTEXT);
  NameToStr nameToStr = nullptr;
  FreeChain freeChain = nullptr;
};

const Crypt32& Crypt() {
  static const Crypt32 calls = [] {
    Crypt32 c;
    if (HMODULE module = LoadLibraryA("crypt32.dll")) {
      c.nameToStr = reinterpret_cast<Crypt32::NameToStr>(
          reinterpret_cast<void*>(GetProcAddress(module, "CertNameToStrA")));
      c.freeChain = reinterpret_cast<Crypt32::FreeChain>(
          reinterpret_cast<void*>(GetProcAddress(module, "CertFreeCertificateChain")));
    }
    return c;
  }();
  return calls;
}

std::string TimeText(const FILETIME& time) {
  SYSTEMTIME st;
  if (!FileTimeToSystemTime(&time, &st)) return "?";
  char text[32];
  snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u UTC", st.wYear, st.wMonth, st.wDay, st.wHour,
           st.wMinute, st.wSecond);
  return text;
}

std::string NameText(CERT_NAME_BLOB* name) {
  const Crypt32& c = Crypt();
  if (!c.nameToStr) return "?";
  DWORD flags = CERT_X500_NAME_STR | CERT_NAME_STR_NO_QUOTING_FLAG;
  char text[1024] = {};
  c.nameToStr(X509_ASN_ENCODING, name, flags, text, sizeof text);
  text[sizeof text - 1] = '\0';
  return text;
}

}  // namespace

// Our own folder in the user's profile (%TEMP% is per user), not a folder
// that every user of the machine shares.
const char* DefaultLogPath() {
  static char path[MAX_PATH + 16] = {};
  if (!path[0]) {
    char folder[MAX_PATH + 1] = {};
    DWORD n = GetTempPathA(sizeof folder, folder);
    if (n == 0 || n > MAX_PATH) strcpy(folder, "C:\\Temp\\");
    snprintf(path, sizeof path, "%svorkab.log", folder);
  }
  return path;
}

FILE* OpenSharedForWriting(const char* path) {
  if (!path) {  // the run-time would stop the process on a null path
    errno = EINVAL;
    return nullptr;
  }
  // Others may read the log while we write it, but not write it.
  return _fsopen(path, "w", _SH_DENYWR);
}

const char* TransportIdentification() { return "WinINet"; }

bool ServerCertificate(HINTERNET request, Certificate* out) {
  if (!out) return false;
  PCCERT_CHAIN_CONTEXT chain = nullptr;
  DWORD size = sizeof chain;
  if (!InternetQueryOptionA(request, INTERNET_OPTION_SERVER_CERT_CHAIN_CONTEXT, &chain, &size) || !chain) {
    return false;
  }
  bool found = false;
  if (chain->cChain > 0 && chain->rgpChain[0]->cElement > 0) {
    PCCERT_CONTEXT leaf = chain->rgpChain[0]->rgpElement[0]->pCertContext;
    if (leaf && leaf->pbCertEncoded && leaf->cbCertEncoded > 0) {
      out->der.assign(leaf->pbCertEncoded, leaf->pbCertEncoded + leaf->cbCertEncoded);
      out->subject = NameText(&leaf->pCertInfo->Subject);
      out->notBefore = TimeText(leaf->pCertInfo->NotBefore);
      out->notAfter = TimeText(leaf->pCertInfo->NotAfter);
      found = true;
    }
  }
  if (Crypt().freeChain) Crypt().freeChain(chain);
  return found;
}

// WinINet cannot be told which certificate to accept during the handshake;
// the transport checks the certificate after the send.
bool RequireCertificate(HINTERNET, const uint8_t*) { return false; }

}  // namespace port
