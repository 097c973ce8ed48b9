// The platform layer on Linux: the WinINet subset of port.h over libcurl and
// the port:: helpers (the kernel calls are in kernel_linux.cc).
//
// Handles form WinINet's tree: a session (InternetOpenA) owns connections
// (InternetConnectA: host and port, no traffic), a connection owns requests
// (HttpOpenRequestA).  Every handle is registered, so a null, stale or foreign
// value is refused instead of being dereferenced; closing a handle closes and
// frees everything below it.
//
// A request runs its transfers on a curl multi handle of its own, driven only
// from inside the calls (no threads).  HttpSendRequestA starts a fresh
// transfer and drives it until the headers of the final response are in;
// InternetReadFile then pulls the body into the caller's buffer.  The body
// callback copies straight into that buffer and keeps at most the rest of
// one curl chunk; when a chunk is still held it pauses the transfer, so the
// reply stays on the wire until it is asked for.  Every wait is bounded by
// the receive time-out, counted from the last sign of progress.
#include "port/port.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "port/port_linux_testing.h"

namespace {

// WinINet codes that only this layer needs.
constexpr DWORD kErrorBadOptionLength = 12010;
constexpr DWORD kErrorIncorrectHandleState = 12019;
constexpr DWORD kErrorInvalidQueryRequest = 12061;

constexpr DWORD kQueryFlagNumber = 0x20000000u;  // HTTP_QUERY_FLAG_NUMBER
constexpr DWORD kQueryModifierMask = 0xFFFF0000u;

constexpr DWORD kOpenTypeDirect = 1;  // INTERNET_OPEN_TYPE_DIRECT
constexpr DWORD kOpenTypeProxy = 3;   // INTERNET_OPEN_TYPE_PROXY
constexpr DWORD kOpenTypePreconfigNoAutoproxy = 4;

constexpr DWORD kDefaultReceiveTimeoutMs = 60000;
constexpr DWORD kNoTimeout = 0xFFFFFFFFu;

BOOL Fail(DWORD code) {
  SetLastError(code);
  return FALSE;
}

HINTERNET FailHandle(DWORD code) {
  SetLastError(code);
  return nullptr;
}

void EnsureCurl() {
  static const CURLcode init = curl_global_init(CURL_GLOBAL_DEFAULT);
  (void)init;
}

// ------------------------------------------------------------------ text

// Bytes that may not stand in a URL as they are.
bool IsUnsafeUrlByte(unsigned char c) {
  return c <= 0x20 || c >= 0x7F || std::strchr("\"<>\\^`{|}", c) != nullptr;
}

// Percent-encodes the unsafe bytes (and '#' when asked: curl would take it as
// the start of a fragment and cut the request path there).
std::string EncodeUnsafe(const char* text, bool encodeHash) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
    if (IsUnsafeUrlByte(*p) || (encodeHash && *p == '#')) {
      out += '%';
      out += kHex[*p >> 4];
      out += kHex[*p & 0x0F];
    } else {
      out += static_cast<char>(*p);
    }
  }
  return out;
}

bool IsTokenChar(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
         (c != 0 && std::strchr("!#$%&'*+-.^_`|~", c) != nullptr);
}

// A host name, IPv4 address or IPv6 address (bare or bracketed); nothing that
// could change the meaning of the URL it is put into.
bool IsPlausibleHost(const std::string& host) {
  if (host.empty()) return false;
  for (unsigned char c : host) {
    bool ok = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
              c == '.' || c == '-' || c == '_' || c == ':' || c == '[' || c == ']' || c == '%';
    if (!ok) return false;
  }
  return true;
}

bool StartsWithNoCase(const std::string& text, const char* prefix) {
  size_t n = std::strlen(prefix);
  return text.size() >= n && strncasecmp(text.c_str(), prefix, n) == 0;
}

std::string Trim(const std::string& text) {
  size_t b = 0;
  size_t e = text.size();
  while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
  while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t' || text[e - 1] == '\r' ||
                   text[e - 1] == '\n')) {
    --e;
  }
  return text.substr(b, e - b);
}

// Writes text plus terminator into a caller's buffer with WinINet's size rules:
// on input *length is the buffer size; on success it becomes the text length;
// when too small the call fails with the needed size (terminator included).
BOOL CopyOut(const std::string& text, void* buffer, DWORD* length) {
  if (!length) return Fail(ERROR_INVALID_PARAMETER);
  DWORD needed = static_cast<DWORD>(text.size() + 1);
  if (!buffer || *length < needed) {
    *length = needed;
    return Fail(ERROR_INSUFFICIENT_BUFFER);
  }
  std::memcpy(buffer, text.c_str(), needed);
  *length = needed - 1;
  return TRUE;
}

// ------------------------------------------------------------------ handles

enum class Kind { Session, Connection, Request };

struct Handle {
  explicit Handle(Kind k) : kind(k) {}
  virtual ~Handle() = default;
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  const Kind kind;
  Handle* parent = nullptr;
  std::vector<Handle*> children;
  DWORD receiveTimeoutMs = kDefaultReceiveTimeoutMs;
};

struct Session : Handle {
  Session() : Handle(Kind::Session) {}
  std::string agent;
  DWORD accessType = INTERNET_OPEN_TYPE_PRECONFIG;
  std::string proxy;
  std::string proxyBypass;
};

struct Connection : Handle {
  Connection() : Handle(Kind::Connection) {}
  std::string host;
  uint16_t port = 0;
};

std::mutex g_handleMutex;  // guards the registry and every handle's children

// The live handles.  Made on first use and never freed, so that it exists
// before any caller's static objects and handles left open at exit stay
// reachable.
std::unordered_set<Handle*>& LiveHandles() {
  static auto* handles = new std::unordered_set<Handle*>;
  return *handles;
}

void Register(Handle* handle, Handle* parent) {
  std::lock_guard<std::mutex> lock(g_handleMutex);
  handle->parent = parent;
  if (parent) parent->children.push_back(handle);
  LiveHandles().insert(handle);
}

// Unregisters `handle` and its descendants (lock held), collecting them.
void Unregister(Handle* handle, std::vector<Handle*>* out) {
  for (Handle* child : handle->children) Unregister(child, out);
  LiveHandles().erase(handle);
  out->push_back(handle);
}

template <class T>
T* Resolve(HINTERNET value, Kind kind) {
  if (!value) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  Handle* handle = static_cast<Handle*>(value);
  std::lock_guard<std::mutex> lock(g_handleMutex);
  if (LiveHandles().count(handle) == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (handle->kind != kind) {
    SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    return nullptr;
  }
  return static_cast<T*>(handle);
}

Handle* ResolveAny(HINTERNET value) {
  if (!value) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  Handle* handle = static_cast<Handle*>(value);
  std::lock_guard<std::mutex> lock(g_handleMutex);
  if (LiveHandles().count(handle) == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return handle;
}

// ------------------------------------------------------------------ errors

// verifyResult is OpenSSL's verdict on the chain; peerChecked says whether
// that verdict was enforced on this transfer.
DWORD MapCurlError(CURLcode code, long verifyResult, bool peerChecked) {
  switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
      return ERROR_INTERNET_TIMEOUT;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return ERROR_INTERNET_NAME_NOT_RESOLVED;
    case CURLE_COULDNT_CONNECT:
      return ERROR_INTERNET_CANNOT_CONNECT;
    case CURLE_PARTIAL_FILE:
      return ERROR_INTERNET_CONNECTION_ABORTED;
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
      return ERROR_INTERNET_CONNECTION_RESET;
    case CURLE_GOT_NOTHING:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_BAD_CONTENT_ENCODING:
      return ERROR_HTTP_INVALID_SERVER_RESPONSE;
    case CURLE_URL_MALFORMAT:
      return ERROR_INTERNET_INVALID_URL;
    case CURLE_OUT_OF_MEMORY:
      return ERROR_NOT_ENOUGH_MEMORY;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
      // When the chain was not at fault (or not checked: curl leaves 1,
      // "unspecified", until the chain's verdict is in) it was the host name;
      // otherwise tell an expired or not yet valid certificate from an
      // untrusted one.
      if (code == CURLE_PEER_FAILED_VERIFICATION && (verifyResult == 0 || verifyResult == 1 || !peerChecked)) {
        return ERROR_INTERNET_SEC_CERT_CN_INVALID;
      }
      if (verifyResult == 9 || verifyResult == 10) {  // X509_V_ERR_CERT_NOT_YET_VALID, _HAS_EXPIRED
        return ERROR_INTERNET_SEC_CERT_DATE_INVALID;
      }
      return ERROR_INTERNET_INVALID_CA;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_SHUTDOWN_FAILED:
      return ERROR_INTERNET_SECURITY_CHANNEL_ERROR;
    default:
      return ERROR_INTERNET_CONNECTION_ABORTED;
  }
}

// ------------------------------------------------------------------ requests

class Request : public Handle {
 public:
  Request() : Handle(Kind::Request) {}
  ~Request() override {
    EndTransfer();
    if (multi_) curl_multi_cleanup(multi_);
  }

  // Fixed when the request is opened.
  std::string agent;
  DWORD accessType = INTERNET_OPEN_TYPE_PRECONFIG;
  std::string proxy;
  std::string proxyBypass;
  std::string host;
  uint16_t port = 0;
  std::string verb;
  std::string target;  // path and query, unsafe bytes already encoded
  bool secure = false;
  DWORD securityFlags = 0;  // the SECURITY_FLAG_IGNORE_* bits set by the caller
  // The only certificate the next sends accept (port::RequireCertificate).
  bool pinRequired = false;
  unsigned char pin[32] = {};
  // The server's certificate seen on the latest send.
  port::Certificate certificate;

  // Starts a fresh transfer and waits for the final response's headers.
  BOOL Send(const std::vector<std::string>& extraHeaders, const void* body, DWORD bodyLength);
  BOOL Read(void* buffer, DWORD wanted, DWORD* read);
  BOOL QueryInfo(DWORD level, void* buffer, DWORD* length, DWORD* index) const;

  size_t maxHeld() const { return maxHeld_; }

 private:
  enum class Wait { Ready, Ended, TimedOut, Broken };

  static size_t OnHeader(char* data, size_t size, size_t count, void* user);
  static size_t OnBody(char* data, size_t size, size_t count, void* user);
  static size_t OnUpload(char* out, size_t size, size_t count, void* user);
  static int OnSeek(void* user, curl_off_t offset, int origin);
  static int OnProgress(void* user, curl_off_t dlTotal, curl_off_t dlNow, curl_off_t ulTotal,
                        curl_off_t ulNow);

  bool BeginTransfer(const std::vector<std::string>& extraHeaders);
  void EndTransfer();
  // Our own verify callback decides on the chain, whatever the ignore flags.
  bool PeerChecked() const { return true; }
  static CURLcode OnSslContext(CURL* easy, void* context, void* user);
  static int OnVerify(int ok, X509_STORE_CTX* store);
  void Touch() { lastProgress_ = std::chrono::steady_clock::now(); }
  template <class Ready>
  Wait Run(Ready ready);
  void CollectDone();
  size_t TakePending(char* out, size_t room);
  bool FindHeader(const char* name, DWORD index, std::string* value) const;

  CURLM* multi_ = nullptr;
  CURL* easy_ = nullptr;
  curl_slist* headerList_ = nullptr;
  // The POST body is read from the caller's buffer while HttpSendRequestA
  // runs; what curl has not yet taken when it returns is kept in bodyRest_.
  const char* body_ = nullptr;
  size_t bodySize_ = 0;
  size_t bodySent_ = 0;
  bool bodyWhole_ = false;  // body_ is the caller's whole body
  std::string bodyRest_;

  // State of the latest send.
  bool sent_ = false;             // the send succeeded: status and headers are known
  bool headersComplete_ = false;  // the final response's header block has ended
  bool done_ = false;             // curl finished the transfer (result_ says how)
  bool paused_ = false;           // the body callback paused the transfer
  CURLcode result_ = CURLE_OK;
  long verifyResult_ = 0;
  DWORD failure_ = ERROR_SUCCESS;  // once set, reads keep failing with it
  int status_ = 0;
  std::string statusText_;
  std::vector<std::string> headers_;  // "Name: value" lines of the final response

  // Body bytes received but not yet asked for, and the caller's buffer while
  // a read waits for the network.
  std::string pending_;
  size_t pendingPos_ = 0;
  char* dest_ = nullptr;
  size_t destRoom_ = 0;
  size_t destGot_ = 0;
  size_t maxHeld_ = 0;

  std::chrono::steady_clock::time_point lastProgress_;
  curl_off_t seenDown_ = -1;
  curl_off_t seenUp_ = -1;
};

size_t Request::OnHeader(char* data, size_t size, size_t count, void* user) {
  Request* r = static_cast<Request*>(user);
  size_t length = size * count;
  r->Touch();
  std::string line(data, length);
  if (line.compare(0, 5, "HTTP/") == 0) {
    // A new response begins (an interim 1xx reply may come before the final one).
    r->headers_.clear();
    r->headersComplete_ = false;
    size_t p = line.find(' ');
    while (p != std::string::npos && p < line.size() && line[p] == ' ') ++p;
    std::string digits;
    while (p != std::string::npos && p < line.size() && line[p] >= '0' && line[p] <= '9') {
      digits += line[p++];
    }
    r->statusText_ = digits;
    r->status_ = digits.empty() ? 0 : std::atoi(digits.c_str());
    return length;
  }
  if (r->headersComplete_) return length;  // trailers of a chunked body
  if (line == "\r\n" || line == "\n") {
    if (r->status_ >= 200) r->headersComplete_ = true;
    return length;
  }
  r->headers_.push_back(Trim(line));
  return length;
}

size_t Request::OnBody(char* data, size_t size, size_t count, void* user) {
  Request* r = static_cast<Request*>(user);
  size_t length = size * count;
  if (length == 0) return 0;
  r->headersComplete_ = true;  // body bytes come only after the final headers
  if (r->pendingPos_ < r->pending_.size()) {
    r->paused_ = true;
    return CURL_WRITEFUNC_PAUSE;  // curl keeps the chunk and hands it over again later
  }
  r->Touch();
  size_t take = 0;
  if (r->dest_) {
    take = std::min(length, r->destRoom_ - r->destGot_);
    std::memcpy(r->dest_ + r->destGot_, data, take);
    r->destGot_ += take;
  }
  r->pending_.assign(data + take, length - take);
  r->pendingPos_ = 0;
  r->maxHeld_ = std::max(r->maxHeld_, r->pending_.size());
  return length;
}

size_t Request::OnUpload(char* out, size_t size, size_t count, void* user) {
  Request* r = static_cast<Request*>(user);
  size_t take = std::min(size * count, r->bodySize_ - r->bodySent_);
  if (take) std::memcpy(out, r->body_ + r->bodySent_, take);
  r->bodySent_ += take;
  return take;
}

// curl starts the body again (a retried connection): possible while the
// caller's whole body is at hand.
int Request::OnSeek(void* user, curl_off_t offset, int origin) {
  Request* r = static_cast<Request*>(user);
  if (!r->bodyWhole_ || origin != SEEK_SET || offset < 0 || static_cast<size_t>(offset) > r->bodySize_) {
    return CURL_SEEKFUNC_CANTSEEK;
  }
  r->bodySent_ = static_cast<size_t>(offset);
  return CURL_SEEKFUNC_OK;
}

int Request::OnProgress(void* user, curl_off_t, curl_off_t dlNow, curl_off_t, curl_off_t ulNow) {
  Request* r = static_cast<Request*>(user);
  if (dlNow != r->seenDown_ || ulNow != r->seenUp_) {
    r->seenDown_ = dlNow;
    r->seenUp_ = ulNow;
    r->Touch();
  }
  return 0;
}

bool Request::BeginTransfer(const std::vector<std::string>& extraHeaders) {
  if (!IsPlausibleHost(host)) {
    SetLastError(ERROR_INTERNET_NAME_NOT_RESOLVED);
    return false;
  }
  if (!multi_) multi_ = curl_multi_init();
  easy_ = curl_easy_init();
  if (!multi_ || !easy_) {
    EndTransfer();
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }

  std::string hostPart = host;
  if (host.find(':') != std::string::npos && host.front() != '[') hostPart = "[" + host + "]";
  uint16_t effectivePort = port != 0 ? port : (secure ? INTERNET_DEFAULT_HTTPS_PORT
                                                      : INTERNET_DEFAULT_HTTP_PORT);
  std::string url = std::string(secure ? "https" : "http") + "://" + hostPart + ":" +
                    std::to_string(effectivePort) + target;

  CURL* e = easy_;
  curl_easy_setopt(e, CURLOPT_URL, url.c_str());
  curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(e, CURLOPT_PATH_AS_IS, 1L);
  curl_easy_setopt(e, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
  curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(e, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
  if (!agent.empty()) curl_easy_setopt(e, CURLOPT_USERAGENT, agent.c_str());

  if (accessType == kOpenTypeDirect) {
    curl_easy_setopt(e, CURLOPT_PROXY, "");
  } else if (accessType == kOpenTypeProxy) {
    curl_easy_setopt(e, CURLOPT_PROXY, proxy.c_str());
    if (!proxyBypass.empty()) curl_easy_setopt(e, CURLOPT_NOPROXY, proxyBypass.c_str());
  }

  if (receiveTimeoutMs != kNoTimeout && receiveTimeoutMs != 0) {
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(receiveTimeoutMs));
  }

  if (secure) {
    // The chain is always verified against the system's authorities; our
    // callback (OnVerify) overlooks only what the ignore flags name, holds a
    // required certificate and keeps the certificate seen.  No session is
    // resumed, so every handshake shows the certificate.
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST,
                     (securityFlags & SECURITY_FLAG_IGNORE_CERT_CN_INVALID) ? 0L : 2L);
    curl_easy_setopt(e, CURLOPT_SSL_SESSIONID_CACHE, 0L);
    curl_easy_setopt(e, CURLOPT_SSL_CTX_FUNCTION, &Request::OnSslContext);
    curl_easy_setopt(e, CURLOPT_SSL_CTX_DATA, this);
  }

  if (verb == "GET" && bodySize_ == 0) {
    curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
  } else if (verb == "HEAD" && bodySize_ == 0) {
    curl_easy_setopt(e, CURLOPT_NOBODY, 1L);
  } else {
    if (verb == "POST" || bodySize_ > 0) {
      curl_easy_setopt(e, CURLOPT_POST, 1L);
      curl_easy_setopt(e, CURLOPT_READFUNCTION, &Request::OnUpload);
      curl_easy_setopt(e, CURLOPT_READDATA, this);
      curl_easy_setopt(e, CURLOPT_SEEKFUNCTION, &Request::OnSeek);
      curl_easy_setopt(e, CURLOPT_SEEKDATA, this);
      curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(bodySize_));
    }
    if (verb != "POST") curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, verb.c_str());
  }

  // The body goes out as it is: no "Expect: 100-continue", no form content type.
  headerList_ = curl_slist_append(headerList_, "Expect:");
  headerList_ = curl_slist_append(headerList_, "Content-Type:");
  for (const std::string& h : extraHeaders) headerList_ = curl_slist_append(headerList_, h.c_str());
  curl_easy_setopt(e, CURLOPT_HTTPHEADER, headerList_);

  curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &Request::OnHeader);
  curl_easy_setopt(e, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &Request::OnBody);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(e, CURLOPT_XFERINFOFUNCTION, &Request::OnProgress);
  curl_easy_setopt(e, CURLOPT_XFERINFODATA, this);
  curl_easy_setopt(e, CURLOPT_NOPROGRESS, 0L);

  if (curl_multi_add_handle(multi_, e) != CURLM_OK) {
    EndTransfer();
    SetLastError(ERROR_INTERNET_INTERNAL_ERROR);
    return false;
  }
  return true;
}

int RequestIndex() {
  static const int index = SSL_CTX_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
  return index;
}

CURLcode Request::OnSslContext(CURL*, void* context, void* user) {
  SSL_CTX* ctx = static_cast<SSL_CTX*>(context);
  if (RequestIndex() < 0 || !SSL_CTX_set_ex_data(ctx, RequestIndex(), user)) return CURLE_SSL_CONNECT_ERROR;
  SSL_CTX_set_verify(ctx, SSL_VERIFY_PEER, &Request::OnVerify);
  return CURLE_OK;
}

std::string TimeText(const ASN1_TIME* time) {
  tm parts = {};
  if (!time || ASN1_TIME_to_tm(time, &parts) != 1) return "?";
  char text[32];
  strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &parts);
  return text;
}

std::string NameText(const X509_NAME* name) {
  BIO* bio = BIO_new(BIO_s_mem());
  if (!bio) return "?";
  X509_NAME_print_ex(bio, name, 0, XN_FLAG_RFC2253 & ~ASN1_STRFLGS_ESC_MSB);
  char* data = nullptr;
  long size = BIO_get_mem_data(bio, &data);
  std::string text = size > 0 ? std::string(data, static_cast<size_t>(size)) : "";
  BIO_free(bio);
  return text;
}

int Request::OnVerify(int ok, X509_STORE_CTX* store) {
  SSL* ssl = static_cast<SSL*>(X509_STORE_CTX_get_ex_data(store, SSL_get_ex_data_X509_STORE_CTX_idx()));
  Request* r = ssl ? static_cast<Request*>(SSL_CTX_get_ex_data(SSL_get_SSL_CTX(ssl), RequestIndex())) : nullptr;
  X509* leaf = X509_STORE_CTX_get0_cert(store);
  if (!r || !leaf) return 0;
  if (r->certificate.der.empty()) {
    int size = i2d_X509(leaf, nullptr);
    if (size > 0) {
      r->certificate.der.resize(static_cast<size_t>(size));
      unsigned char* out = r->certificate.der.data();
      i2d_X509(leaf, &out);
    }
    r->certificate.subject = NameText(X509_get_subject_name(leaf));
    r->certificate.notBefore = TimeText(X509_get0_notBefore(leaf));
    r->certificate.notAfter = TimeText(X509_get0_notAfter(leaf));
  }
  if (r->pinRequired) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!X509_digest(leaf, EVP_sha256(), digest, &length) || length != sizeof r->pin ||
        std::memcmp(digest, r->pin, sizeof r->pin) != 0) {
      X509_STORE_CTX_set_error(store, X509_V_ERR_CERT_REJECTED);
      return 0;
    }
  }
  if (ok) return 1;
  int error = X509_STORE_CTX_get_error(store);
  bool issuer = error == X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT ||
                error == X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY ||
                error == X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE ||
                error == X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT ||
                error == X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN || error == X509_V_ERR_CERT_UNTRUSTED;
  bool dates = error == X509_V_ERR_CERT_NOT_YET_VALID || error == X509_V_ERR_CERT_HAS_EXPIRED;
  if ((issuer && (r->securityFlags & SECURITY_FLAG_IGNORE_UNKNOWN_CA)) ||
      (dates && (r->securityFlags & SECURITY_FLAG_IGNORE_CERT_DATE_INVALID))) {
    X509_STORE_CTX_set_error(store, X509_V_OK);
    return 1;
  }
  return 0;
}

void Request::EndTransfer() {
  if (easy_) {
    if (multi_) curl_multi_remove_handle(multi_, easy_);
    curl_easy_cleanup(easy_);
    easy_ = nullptr;
  }
  if (headerList_) {
    curl_slist_free_all(headerList_);
    headerList_ = nullptr;
  }
  paused_ = false;
}

void Request::CollectDone() {
  int left = 0;
  while (CURLMsg* message = curl_multi_info_read(multi_, &left)) {
    if (message->msg == CURLMSG_DONE && message->easy_handle == easy_) {
      done_ = true;
      result_ = message->data.result;
      curl_easy_getinfo(easy_, CURLINFO_SSL_VERIFYRESULT, &verifyResult_);
      EndTransfer();
      return;
    }
  }
}

// Drives the transfer until ready() holds, the transfer ends, or nothing has
// happened for the receive time-out.
template <class Ready>
Request::Wait Request::Run(Ready ready) {
  using Clock = std::chrono::steady_clock;
  Touch();
  for (;;) {
    if (ready()) return Wait::Ready;
    if (done_) return Wait::Ended;
    if (!easy_) return Wait::Broken;
    int running = 0;
    if (curl_multi_perform(multi_, &running) != CURLM_OK) return Wait::Broken;
    CollectDone();
    if (ready()) return Wait::Ready;
    if (done_) return Wait::Ended;
    int waitMs = 1000;
    if (receiveTimeoutMs != kNoTimeout && receiveTimeoutMs != 0) {
      auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() -
                                                                        lastProgress_);
      long long left = static_cast<long long>(receiveTimeoutMs) - idle.count();
      if (left <= 0) return Wait::TimedOut;
      waitMs = static_cast<int>(std::min<long long>(left, waitMs));
    }
    if (curl_multi_poll(multi_, nullptr, 0, waitMs, nullptr) != CURLM_OK) return Wait::Broken;
  }
}

size_t Request::TakePending(char* out, size_t room) {
  size_t take = std::min(room, pending_.size() - pendingPos_);
  std::memcpy(out, pending_.data() + pendingPos_, take);
  pendingPos_ += take;
  if (pendingPos_ == pending_.size()) {
    pending_.clear();
    pendingPos_ = 0;
  }
  return take;
}

BOOL Request::Send(const std::vector<std::string>& extraHeaders, const void* body,
                   DWORD bodyLength) {
  EndTransfer();
  sent_ = false;
  headersComplete_ = false;
  done_ = false;
  result_ = CURLE_OK;
  verifyResult_ = 0;
  certificate = port::Certificate();
  failure_ = ERROR_SUCCESS;
  status_ = 0;
  statusText_.clear();
  headers_.clear();
  pending_.clear();
  pendingPos_ = 0;
  seenDown_ = seenUp_ = -1;
  bodyRest_.clear();
  body_ = bodyLength > 0 ? static_cast<const char*>(body) : nullptr;
  bodySize_ = bodyLength > 0 ? bodyLength : 0;
  bodySent_ = 0;
  bodyWhole_ = true;

  if (!BeginTransfer(extraHeaders)) {
    bodyWhole_ = false;
    body_ = nullptr;
    bodySize_ = 0;
    return FALSE;
  }
  Wait wait = Run([this] { return headersComplete_; });
  bodyWhole_ = false;
  // The caller may free its body now: what curl still has to send (a reply
  // that came before the whole body went out) is kept here.
  if (bodySent_ < bodySize_) {
    bodyRest_.assign(body_ + bodySent_, bodySize_ - bodySent_);
    body_ = bodyRest_.data();
    bodySize_ = bodyRest_.size();
  } else {
    body_ = nullptr;
    bodySize_ = 0;
  }
  bodySent_ = 0;
  switch (wait) {
    case Wait::Ready:
      sent_ = true;
      return TRUE;
    case Wait::Ended:
      return Fail(result_ == CURLE_OK ? ERROR_HTTP_INVALID_SERVER_RESPONSE
                                      : MapCurlError(result_, verifyResult_, PeerChecked()));
    case Wait::TimedOut:
      EndTransfer();
      return Fail(ERROR_INTERNET_TIMEOUT);
    case Wait::Broken:
      break;
  }
  EndTransfer();
  return Fail(ERROR_INTERNET_INTERNAL_ERROR);
}

BOOL Request::Read(void* buffer, DWORD wanted, DWORD* read) {
  if (!sent_) return Fail(kErrorIncorrectHandleState);
  if (failure_ != ERROR_SUCCESS) return Fail(failure_);
  char* out = static_cast<char*>(buffer);
  size_t got = TakePending(out, wanted);
  DWORD code = ERROR_SUCCESS;
  if (got < wanted && !done_) {
    dest_ = out;
    destRoom_ = wanted;
    destGot_ = got;
    if (paused_ && easy_) {
      paused_ = false;
      curl_easy_pause(easy_, CURLPAUSE_CONT);  // may hand over the held chunk at once
    }
    Wait wait = Run([this] { return destGot_ == destRoom_; });
    got = destGot_;
    dest_ = nullptr;
    destRoom_ = destGot_ = 0;
    if (wait == Wait::TimedOut) {
      EndTransfer();
      code = ERROR_INTERNET_TIMEOUT;
    } else if (wait == Wait::Broken) {
      EndTransfer();
      code = ERROR_INTERNET_INTERNAL_ERROR;
    }
  }
  if (code == ERROR_SUCCESS && done_ && result_ != CURLE_OK && pendingPos_ >= pending_.size()) {
    code = MapCurlError(result_, verifyResult_, PeerChecked());
  }
  if (code != ERROR_SUCCESS) {
    failure_ = code;
    // Bytes already delivered are handed out; the failure comes with the next read.
    if (got == 0) return Fail(code);
  }
  *read = static_cast<DWORD>(got);
  return TRUE;
}

bool Request::FindHeader(const char* name, DWORD index, std::string* value) const {
  std::string prefix = std::string(name) + ":";
  DWORD seen = 0;
  for (const std::string& line : headers_) {
    if (!StartsWithNoCase(line, prefix.c_str())) continue;
    if (seen++ == index) {
      *value = Trim(line.substr(prefix.size()));
      return true;
    }
  }
  return false;
}

BOOL Request::QueryInfo(DWORD level, void* buffer, DWORD* length, DWORD* index) const {
  if (!length) return Fail(ERROR_INVALID_PARAMETER);
  if (!sent_) return Fail(kErrorIncorrectHandleState);
  DWORD modifiers = level & kQueryModifierMask;
  if (modifiers != 0 && modifiers != kQueryFlagNumber) return Fail(kErrorInvalidQueryRequest);
  DWORD which = index ? *index : 0;
  std::string text;
  switch (level & ~kQueryModifierMask) {
    case HTTP_QUERY_STATUS_CODE:
      if (which != 0 || statusText_.empty()) return Fail(ERROR_HTTP_HEADER_NOT_FOUND);
      text = statusText_;
      break;
    case HTTP_QUERY_CONTENT_LENGTH:
      if (!FindHeader("Content-Length", which, &text)) return Fail(ERROR_HTTP_HEADER_NOT_FOUND);
      break;
    case HTTP_QUERY_PROXY_AUTHENTICATE:
      if (!FindHeader("Proxy-Authenticate", which, &text)) return Fail(ERROR_HTTP_HEADER_NOT_FOUND);
      break;
    default:
      return Fail(kErrorInvalidQueryRequest);
  }
  if (modifiers == kQueryFlagNumber) {
    if (!buffer || *length < sizeof(DWORD)) {
      *length = sizeof(DWORD);
      return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    DWORD number = static_cast<DWORD>(std::strtoul(text.c_str(), nullptr, 10));
    std::memcpy(buffer, &number, sizeof number);
    *length = sizeof(DWORD);
  } else if (!CopyOut(text, buffer, length)) {
    return FALSE;
  }
  if (index) ++*index;
  return TRUE;
}

// Splits the extra header text of HttpSendRequestA into lines.
std::vector<std::string> SplitHeaderLines(const char* headers, DWORD length) {
  std::vector<std::string> lines;
  if (!headers) return lines;
  size_t size = length == static_cast<DWORD>(-1) ? std::strlen(headers) : length;
  std::string line;
  for (size_t i = 0; i < size && headers[i] != '\0'; ++i) {
    char c = headers[i];
    if (c == '\r' || c == '\n') {
      if (!Trim(line).empty()) lines.push_back(Trim(line));
      line.clear();
    } else {
      line += c;
    }
  }
  if (!Trim(line).empty()) lines.push_back(Trim(line));
  return lines;
}

}  // namespace

// ==================================================================== WinINet

HINTERNET InternetOpenA(const char* agent, DWORD accessType, const char* proxy,
                        const char* proxyBypass, DWORD flags) {
  EnsureCurl();
  if (accessType != INTERNET_OPEN_TYPE_PRECONFIG && accessType != kOpenTypeDirect &&
      accessType != kOpenTypeProxy && accessType != kOpenTypePreconfigNoAutoproxy) {
    return FailHandle(ERROR_INVALID_PARAMETER);
  }
  if (accessType == kOpenTypeProxy && (!proxy || !*proxy)) {
    return FailHandle(ERROR_INVALID_PARAMETER);
  }
  Session* session = new Session;
  if (agent) session->agent = agent;
  session->accessType = accessType;
  if (accessType == kOpenTypeProxy) {
    session->proxy = proxy;
    if (proxyBypass) {
      // WinINet separates the bypass list with blanks or semicolons, curl with commas.
      std::string list = proxyBypass;
      std::replace(list.begin(), list.end(), ';', ',');
      std::replace(list.begin(), list.end(), ' ', ',');
      session->proxyBypass = list;
    }
  }
  Register(session, nullptr);
  SetLastError(ERROR_SUCCESS);
  return session;
}

HINTERNET InternetConnectA(HINTERNET sessionHandle, const char* serverName, INTERNET_PORT port,
                           const char* userName, const char* password, DWORD service,
                           DWORD flags, DWORD_PTR context) {
  Session* session = Resolve<Session>(sessionHandle, Kind::Session);
  if (!session) return nullptr;
  if (!serverName || !*serverName || service != INTERNET_SERVICE_HTTP) {
    return FailHandle(ERROR_INVALID_PARAMETER);
  }
  Connection* connection = new Connection;
  connection->host = serverName;
  connection->port = port;
  connection->receiveTimeoutMs = session->receiveTimeoutMs;
  Register(connection, session);
  SetLastError(ERROR_SUCCESS);
  return connection;
}

BOOL InternetSetOptionA(HINTERNET handle, DWORD option, LPVOID buffer, DWORD bufferLength) {
  Handle* h = ResolveAny(handle);
  if (!h) return FALSE;
  switch (option) {
    case INTERNET_OPTION_RECEIVE_TIMEOUT:
      if (!buffer) return Fail(ERROR_INVALID_PARAMETER);
      if (bufferLength < sizeof(DWORD)) return Fail(kErrorBadOptionLength);
      std::memcpy(&h->receiveTimeoutMs, buffer, sizeof(DWORD));
      return TRUE;
    case INTERNET_OPTION_SECURITY_FLAGS: {
      if (h->kind != Kind::Request) return Fail(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
      if (!buffer) return Fail(ERROR_INVALID_PARAMETER);
      if (bufferLength < sizeof(DWORD)) return Fail(kErrorBadOptionLength);
      DWORD flags = 0;
      std::memcpy(&flags, buffer, sizeof flags);
      static_cast<Request*>(h)->securityFlags = flags & ~SECURITY_FLAG_SECURE;  // read-only bit
      return TRUE;
    }
    default:
      return Fail(ERROR_INTERNET_INVALID_OPTION);
  }
}

BOOL InternetQueryOptionA(HINTERNET handle, DWORD option, LPVOID buffer, DWORD* bufferLength) {
  Handle* h = ResolveAny(handle);
  if (!h) return FALSE;
  if (!bufferLength) return Fail(ERROR_INVALID_PARAMETER);
  DWORD value = 0;
  switch (option) {
    case INTERNET_OPTION_RECEIVE_TIMEOUT:
      value = h->receiveTimeoutMs;
      break;
    case INTERNET_OPTION_SECURITY_FLAGS: {
      if (h->kind != Kind::Request) return Fail(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
      const Request* r = static_cast<const Request*>(h);
      value = r->securityFlags | (r->secure ? SECURITY_FLAG_SECURE : 0);
      break;
    }
    default:
      return Fail(ERROR_INTERNET_INVALID_OPTION);
  }
  if (!buffer || *bufferLength < sizeof(DWORD)) {
    *bufferLength = sizeof(DWORD);
    return Fail(ERROR_INSUFFICIENT_BUFFER);
  }
  std::memcpy(buffer, &value, sizeof value);
  *bufferLength = sizeof(DWORD);
  return TRUE;
}

HINTERNET HttpOpenRequestA(HINTERNET connectionHandle, const char* verb, const char* objectName,
                           const char* version, const char* referrer, const char** acceptTypes,
                           DWORD flags, DWORD_PTR context) {
  Connection* connection = Resolve<Connection>(connectionHandle, Kind::Connection);
  if (!connection) return nullptr;
  std::string method = verb && *verb ? verb : "GET";
  for (unsigned char c : method) {
    if (!IsTokenChar(c)) return FailHandle(ERROR_INVALID_PARAMETER);
  }
  Request* request = new Request;
  {
    // The session outlives this call only as long as the caller keeps it;
    // take what the transfer needs now.
    std::lock_guard<std::mutex> lock(g_handleMutex);
    const Session* session = static_cast<const Session*>(connection->parent);
    request->agent = session->agent;
    request->accessType = session->accessType;
    request->proxy = session->proxy;
    request->proxyBypass = session->proxyBypass;
  }
  request->host = connection->host;
  request->port = connection->port;
  request->receiveTimeoutMs = connection->receiveTimeoutMs;
  request->verb = method;
  std::string path = objectName && *objectName ? EncodeUnsafe(objectName, true) : "/";
  if (path[0] != '/') path.insert(0, "/");
  request->target = path;
  request->secure = (flags & INTERNET_FLAG_SECURE) != 0;
  Register(request, connection);
  SetLastError(ERROR_SUCCESS);
  return request;
}

BOOL HttpSendRequestA(HINTERNET requestHandle, const char* headers, DWORD headersLength,
                      LPVOID optional, DWORD optionalLength) {
  Request* request = Resolve<Request>(requestHandle, Kind::Request);
  if (!request) return FALSE;
  if (optionalLength > 0 && !optional) return Fail(ERROR_INVALID_PARAMETER);
  return request->Send(SplitHeaderLines(headers, headersLength), optional, optionalLength);
}

BOOL HttpQueryInfoA(HINTERNET requestHandle, DWORD infoLevel, LPVOID buffer, DWORD* bufferLength,
                    DWORD* index) {
  Request* request = Resolve<Request>(requestHandle, Kind::Request);
  if (!request) return FALSE;
  return request->QueryInfo(infoLevel, buffer, bufferLength, index);
}

BOOL InternetReadFile(HINTERNET requestHandle, LPVOID buffer, DWORD bytesToRead,
                      DWORD* bytesRead) {
  Request* request = Resolve<Request>(requestHandle, Kind::Request);
  if (!request) return FALSE;
  if (!bytesRead || (!buffer && bytesToRead > 0)) return Fail(ERROR_INVALID_PARAMETER);
  *bytesRead = 0;
  if (bytesToRead == 0) return TRUE;
  return request->Read(buffer, bytesToRead, bytesRead);
}

BOOL InternetCloseHandle(HINTERNET handle) {
  if (!handle) return Fail(ERROR_INVALID_HANDLE);
  std::vector<Handle*> doomed;
  {
    std::lock_guard<std::mutex> lock(g_handleMutex);
    Handle* h = static_cast<Handle*>(handle);
    if (LiveHandles().count(h) == 0) return Fail(ERROR_INVALID_HANDLE);
    if (h->parent) {
      auto& siblings = h->parent->children;
      siblings.erase(std::remove(siblings.begin(), siblings.end(), h), siblings.end());
    }
    Unregister(h, &doomed);
  }
  for (Handle* h : doomed) delete h;  // children first
  return TRUE;
}

DWORD InternetErrorDlg(HWND window, HINTERNET request, DWORD error, DWORD flags, LPVOID* data) {
  if (!Resolve<Request>(request, Kind::Request)) return ERROR_INVALID_HANDLE;
  return ERROR_CANCELLED;  // there is no dialog to ask for credentials
}

BOOL InternetCanonicalizeUrlA(const char* url, char* buffer, DWORD* bufferLength, DWORD flags) {
  if (!url || !bufferLength) return Fail(ERROR_INVALID_PARAMETER);
  if (!*url) return Fail(ERROR_INTERNET_INVALID_URL);
  return CopyOut(EncodeUnsafe(url, false), buffer, bufferLength);
}

// ==================================================================== helpers

namespace port {

// A folder of the user's own: $XDG_STATE_HOME or ~/.local/state, then
// "vorkab" in it, made readable by its owner only.  Without a home folder
// the temporary folder, with the user's number in the file name.
const char* DefaultLogPath() {
  static const std::string path = [] {
    std::string base;
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state == '/') {
      base = state;
    } else if (const char* home = std::getenv("HOME"); home && *home == '/') {
      base = std::string(home) + "/.local/state";
    }
    if (!base.empty()) {
      std::string folder = base + "/vorkab";
      // Make the parents as mkdir -p would; the log's own folder is private.
      for (size_t at = 1; at != std::string::npos; at = folder.find('/', at + 1)) {
        mkdir(folder.substr(0, at).c_str(), 0700);
      }
      mkdir(folder.c_str(), 0700);
      struct stat info;
      if (stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid()) {
        return folder + "/vorkab.log";
      }
    }
    const char* dir = std::getenv("TMPDIR");
    std::string folder = dir && *dir ? dir : "/tmp";
    if (folder.back() != '/') folder += '/';
    return folder + "vorkab-" + std::to_string(getuid()) + ".log";
  }();
  return path.c_str();
}

// Readable and writable by its owner only, also when it existed before;
// never through a symbolic link (the temporary folder is shared).
FILE* OpenSharedForWriting(const char* path) {
  if (!path) {
    errno = EINVAL;
    return nullptr;
  }
  int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  struct stat info;
  if (fstat(fd, &info) != 0 || (S_ISREG(info.st_mode) && fchmod(fd, 0600) != 0)) {
    int error = errno ? errno : EPERM;
    close(fd);
    errno = error;
    return nullptr;
  }
  FILE* file = fdopen(fd, "w");
  if (!file) {
    int error = errno;
    close(fd);
    errno = error;
  }
  return file;
}

const char* TransportIdentification() {
  static const std::string text = [] {
    EnsureCurl();
    const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
    std::string line = "libcurl/";
    line += info && info->version ? info->version : "?";
    if (info && info->ssl_version && *info->ssl_version) {
      line += ' ';
      line += info->ssl_version;
    }
    line += " (WinINet substitute)";
    for (char& c : line) {
      if (c == '\n' || c == '\r') c = ' ';
    }
    if (line.size() > 255) line.resize(255);
    return line;
  }();
  return text.c_str();
}

bool ServerCertificate(HINTERNET request, Certificate* out) {
  Request* r = Resolve<Request>(request, Kind::Request);
  if (!r || !out || r->certificate.der.empty()) return false;
  *out = r->certificate;
  return true;
}

bool RequireCertificate(HINTERNET request, const uint8_t digest[32]) {
  Request* r = Resolve<Request>(request, Kind::Request);
  if (!r || !digest) return false;
  r->pinRequired = true;
  std::memcpy(r->pin, digest, sizeof r->pin);
  return true;
}

namespace linux_testing {

size_t MaxHeldReplyBytes(HINTERNET request) {
  DWORD saved = GetLastError();
  Request* r = Resolve<Request>(request, Kind::Request);
  SetLastError(saved);
  return r ? r->maxHeld() : 0;
}

size_t LiveHandleCount() {
  std::lock_guard<std::mutex> lock(g_handleMutex);
  return LiveHandles().size();
}

}  // namespace linux_testing
}  // namespace port
