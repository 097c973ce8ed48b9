// The platform contract: everything the library needs from the operating system.
//
// On Windows these are the real WinINet and kernel calls (this header only pulls
// in the system headers and adds the few helpers of our own).  On Linux,
// port_linux.cc provides the same calls with the same handle, flag and
// last-error semantics, over libcurl, so the transport above is written once
// against the WinINet names.
//
// Only the subset the transport uses exists on Linux:
//   InternetOpenA        session handle; access type 0 = system proxy settings
//                        (on Linux: curl's proxy environment variables)
//   InternetConnectA     connection handle (host, port; port 0 = default of the
//                        scheme); no network traffic yet
//   InternetSetOptionA   INTERNET_OPTION_RECEIVE_TIMEOUT (DWORD ms) on a
//                        connection or request; INTERNET_OPTION_SECURITY_FLAGS
//                        (DWORD) on a request
//   InternetQueryOptionA INTERNET_OPTION_SECURITY_FLAGS on a request
//   HttpOpenRequestA     request handle: verb, path (may hold bytes >= 0x80 and
//                        blanks, which go out percent-encoded), version
//                        "HTTP/1.0", flags INTERNET_FLAG_SECURE for https
//   HttpSendRequestA     sends the request (and the optional body) and returns
//                        once the status line and headers have arrived; the
//                        body stays on the wire until InternetReadFile pulls it.
//                        An untrusted certificate fails with
//                        ERROR_INTERNET_INVALID_CA (12045); the SECURITY_FLAG_
//                        IGNORE_* flags set on the request are honoured by the
//                        next send of the same request.
//   HttpQueryInfoA       HTTP_QUERY_STATUS_CODE, HTTP_QUERY_CONTENT_LENGTH,
//                        HTTP_QUERY_PROXY_AUTHENTICATE as text; a missing
//                        header fails with ERROR_HTTP_HEADER_NOT_FOUND
//   InternetReadFile     pulls at most the asked bytes; *read == 0 with TRUE
//                        at the end of the body; never buffers much more than
//                        one chunk of the reply
//   InternetCloseHandle  closes any handle (a request, a connection, the session)
//   InternetErrorDlg     there is no dialog: answers ERROR_CANCELLED (1223)
//   InternetCanonicalizeUrlA  percent-encodes unsafe characters
//   GetLastError / SetLastError   per-thread last error of this layer
//   GetTickCount, GetLocalTime, SystemTimeToFileTime, FileTimeToSystemTime
//   GetDesktopWindow     a dummy window handle
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstddef>
#include <string>
#include <vector>

#ifdef _WIN32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <wininet.h>

#else  // Linux: our own declarations of the subset above

typedef void* HINTERNET;
typedef void* HWND;
typedef void* LPVOID;
typedef uint32_t DWORD;
typedef uintptr_t DWORD_PTR;
typedef int BOOL;
typedef uint16_t WORD;
typedef uint16_t INTERNET_PORT;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

struct SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
};

struct FILETIME {  // 100-ns units since 1601-01-01
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};

// Access types, services, options
#define INTERNET_OPEN_TYPE_PRECONFIG 0
#define INTERNET_SERVICE_HTTP 3
#define INTERNET_DEFAULT_HTTP_PORT 80
#define INTERNET_DEFAULT_HTTPS_PORT 443
#define INTERNET_INVALID_PORT_NUMBER 0
#define INTERNET_OPTION_RECEIVE_TIMEOUT 6
#define INTERNET_OPTION_SECURITY_FLAGS 31

// Request flags
#define INTERNET_FLAG_NO_CACHE_WRITE 0x04000000u
#define INTERNET_FLAG_KEEP_CONNECTION 0x00400000u
#define INTERNET_FLAG_SECURE 0x00800000u

// Security flags
#define SECURITY_FLAG_SECURE 0x00000001u
#define SECURITY_FLAG_IGNORE_REVOCATION 0x00000080u
#define SECURITY_FLAG_IGNORE_UNKNOWN_CA 0x00000100u
#define SECURITY_FLAG_IGNORE_CERT_CN_INVALID 0x00001000u
#define SECURITY_FLAG_IGNORE_CERT_DATE_INVALID 0x00002000u

// HttpQueryInfo levels
#define HTTP_QUERY_CONTENT_LENGTH 5
#define HTTP_QUERY_STATUS_CODE 19
#define HTTP_QUERY_PROXY_AUTHENTICATE 41

// InternetErrorDlg flags
#define FLAGS_ERROR_UI_FILTER_FOR_ERRORS 0x01u
#define FLAGS_ERROR_UI_FLAGS_CHANGE_OPTIONS 0x02u
#define FLAGS_ERROR_UI_FLAGS_GENERATE_DATA 0x04u

// Last-error codes (WinINet's numbers)
#define ERROR_SUCCESS 0
#define ERROR_INVALID_HANDLE 6
#define ERROR_NOT_ENOUGH_MEMORY 8
#define ERROR_INVALID_PARAMETER 87
#define ERROR_INSUFFICIENT_BUFFER 122
#define ERROR_CANCELLED 1223
#define ERROR_INTERNET_OUT_OF_HANDLES 12001
#define ERROR_INTERNET_TIMEOUT 12002
#define ERROR_INTERNET_INTERNAL_ERROR 12004
#define ERROR_INTERNET_INVALID_URL 12005
#define ERROR_INTERNET_NAME_NOT_RESOLVED 12007
#define ERROR_INTERNET_INVALID_OPTION 12009
#define ERROR_INTERNET_INCORRECT_PASSWORD 12014
#define ERROR_INTERNET_INCORRECT_HANDLE_TYPE 12018
#define ERROR_INTERNET_CANNOT_CONNECT 12029
#define ERROR_INTERNET_CONNECTION_ABORTED 12030
#define ERROR_INTERNET_CONNECTION_RESET 12031
#define ERROR_INTERNET_FORCE_RETRY 12032
#define ERROR_INTERNET_SEC_CERT_DATE_INVALID 12037
#define ERROR_INTERNET_SEC_CERT_CN_INVALID 12038
#define ERROR_INTERNET_INVALID_CA 12045
#define ERROR_INTERNET_SEC_INVALID_CERT 12169
#define ERROR_INTERNET_SECURITY_CHANNEL_ERROR 12157
#define ERROR_HTTP_HEADER_NOT_FOUND 12150
#define ERROR_HTTP_INVALID_SERVER_RESPONSE 12152

HINTERNET InternetOpenA(const char* agent, DWORD accessType, const char* proxy,
                        const char* proxyBypass, DWORD flags);
HINTERNET InternetConnectA(HINTERNET session, const char* serverName, INTERNET_PORT port,
                           const char* userName, const char* password, DWORD service,
                           DWORD flags, DWORD_PTR context);
BOOL InternetSetOptionA(HINTERNET handle, DWORD option, LPVOID buffer, DWORD bufferLength);
BOOL InternetQueryOptionA(HINTERNET handle, DWORD option, LPVOID buffer, DWORD* bufferLength);
HINTERNET HttpOpenRequestA(HINTERNET connection, const char* verb, const char* objectName,
                           const char* version, const char* referrer, const char** acceptTypes,
                           DWORD flags, DWORD_PTR context);
BOOL HttpSendRequestA(HINTERNET request, const char* headers, DWORD headersLength,
                      LPVOID optional, DWORD optionalLength);
BOOL HttpQueryInfoA(HINTERNET request, DWORD infoLevel, LPVOID buffer, DWORD* bufferLength,
                    DWORD* index);
BOOL InternetReadFile(HINTERNET request, LPVOID buffer, DWORD bytesToRead, DWORD* bytesRead);
BOOL InternetCloseHandle(HINTERNET handle);
DWORD InternetErrorDlg(HWND window, HINTERNET request, DWORD error, DWORD flags, LPVOID* data);
BOOL InternetCanonicalizeUrlA(const char* url, char* buffer, DWORD* bufferLength, DWORD flags);

DWORD GetLastError();
void SetLastError(DWORD code);
HWND GetDesktopWindow();
DWORD GetTickCount();
void GetLocalTime(SYSTEMTIME* time);
BOOL SystemTimeToFileTime(const SYSTEMTIME* systemTime, FILETIME* fileTime);
BOOL FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime);

#endif  // _WIN32

namespace port {

// Where the diagnostic log goes when the user text names no path.
const char* DefaultLogPath();

// Opens a file for writing (truncating it) so that other programs may read it
// while it stays open.  Null on failure, with errno set.
FILE* OpenSharedForWriting(const char* path);

// One line naming the HTTP layer and its version, for VKAbout.
const char* TransportIdentification();

// A server certificate as the platform saw it.
struct Certificate {
  std::vector<uint8_t> der;  // the encoded certificate; its SHA-256 is the fingerprint
  std::string subject;       // e.g. "CN=kalvoro.example,O=..."
  std::string notBefore;     // "YYYY-MM-DD hh:mm:ss UTC"
  std::string notAfter;
};

// The certificate the server presented on the request's latest send, also
// when that send failed because of it.  False when there is none.
// REQUIRES: request is a request handle that has been sent.
bool ServerCertificate(HINTERNET request, Certificate* out);

// Makes the request's later sends refuse, during the handshake and before any
// byte of the request goes out, a certificate whose fingerprint (SHA-256 of
// its DER encoding) is not digest; such a send fails with
// ERROR_INTERNET_INVALID_CA.  False where the platform cannot check that
// early: the caller then checks the certificate after the send.
bool RequireCertificate(HINTERNET request, const uint8_t digest[32]);

}  // namespace port
