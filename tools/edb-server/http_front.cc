// The cpp-httplib front (see http_front.h).
#include "http_front.h"

#include <httplib.h>
#include <sys/socket.h>

#include <cstdio>

namespace edb {

namespace {

const char* const kContentType = "text/plain; charset=ISO-8859-1";
// A request arrives in one go (each read waits at most this long, and the whole
// request has its deadline); a reply may be read slowly, a few records at a
// time between the workbook's calls, so writes wait as long as the library's
// own receive time-out (ten minutes).
constexpr time_t kReadTimeoutSeconds = 60;
constexpr time_t kWriteTimeoutSeconds = 600;
// Idle connections are kept briefly only, so that a stop is not held up.
constexpr time_t kKeepAliveSeconds = 1;

// The script name and command of a request, for the log: never the
// authenticator.
std::string Describe(const httplib::Request& req) {
  std::string target = req.target;
  size_t q = target.find('?');
  if (q == std::string::npos) return Shown(target);
  size_t afterAuth = target.find('&', q);
  if (afterAuth == std::string::npos) return Shown(req.path);
  return Shown(std::string_view(target).substr(afterAuth + 1, 60));
}

void Refuse(httplib::Response& res, int status, const std::string& reason) {
  res.status = status;
  res.set_content("Error: " + reason + "\n", kContentType);
  res.set_header("Connection", "close");
  CloseAfterReply();
}

// Checks the announced body length before anything of the body is read
// (and before the login): the length must be plain digits within the cap.
// False after filling res with the refusal.
bool AcceptLength(const httplib::Request& req, httplib::Response& res, uint64_t maxBytes) {
  if (req.has_header("Transfer-Encoding")) {
    Refuse(res, 411, "a request body needs a Content-Length");
    return false;
  }
  uint64_t length = 0;
  size_t count = req.get_header_value_count("Content-Length");
  if (count > 1) {
    Refuse(res, 400, "more than one Content-Length");
    return false;
  }
  if (count == 1) {
    std::string text = req.get_header_value("Content-Length");
    bool digits = !text.empty() && text.size() <= 18;
    for (char c : text) digits = digits && c >= '0' && c <= '9';
    if (!digits) {
      Refuse(res, 400, "malformed Content-Length " + Shown(text));
      return false;
    }
    length = std::stoull(text);
    if (length > maxBytes) {
      Refuse(res, 413, "the request body is larger than " + std::to_string(maxBytes >> 20) + " MiB");
      return false;
    }
  }
  // Only POST bodies are read; after any other request with a body the
  // connection is closed rather than its body taken for the next request.
  if (length > 0 && req.method != "POST") CloseAfterReply();
  StartRequestBody(length);
  return true;
}

void WriteReply(Reply reply, httplib::Response& res) {
  res.status = 200;
  if (!reply.body) {
    res.set_content(reply.text, kContentType);
    return;
  }
  std::shared_ptr<ReplyBody> body = reply.body;
  auto pending = std::make_shared<std::string>();
  res.set_content_provider(
      static_cast<size_t>(body->Length()), kContentType,
      [body, pending](size_t offset, size_t length, httplib::DataSink& sink) {
        try {
          if (pending->empty() && !body->Fill(pending.get())) return false;  // shorter than announced
        } catch (const std::exception&) {
          return false;
        }
        size_t n = pending->size() < length ? pending->size() : length;
        bool ok = sink.write(pending->data(), n);
        pending->erase(0, n);
        return ok;
      });
}

}  // namespace

HttpFront::HttpFront(Service& service, const ListenConfig& config) : service_(service), config_(config) {}

HttpFront::~HttpFront() = default;

std::string HttpFront::Url() const {
  bool https = !config_.certFile.empty();
  return std::string(https ? "https://" : "http://") + config_.bind + ":" + std::to_string(port_);
}

bool HttpFront::Bind(std::string* error) {
  server_ = MakeGuardedServer(config_.limits, config_.certFile, config_.keyFile);
  if (!server_->is_valid()) {
    *error = "cannot load the certificate " + config_.certFile + " or the key " + config_.keyFile;
    return false;
  }
  // Address reuse only: the library's default also sets SO_REUSEPORT, which
  // would let a second server share the port silently.
  server_->set_socket_options([](socket_t sock) {
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });
  server_->set_payload_max_length(static_cast<size_t>(config_.limits.maxRequestBytes));
  server_->set_read_timeout(kReadTimeoutSeconds);
  server_->set_write_timeout(kWriteTimeoutSeconds);
  server_->set_keep_alive_timeout(kKeepAliveSeconds);
  Route();
  if (config_.port == 0) {
    port_ = server_->bind_to_any_port(config_.bind);
    if (port_ <= 0) {
      *error = "cannot listen on " + config_.bind;
      return false;
    }
  } else {
    if (!server_->bind_to_port(config_.bind, config_.port)) {
      *error = "cannot listen on " + config_.bind + ":" + std::to_string(config_.port);
      return false;
    }
    port_ = config_.port;
  }
  return true;
}

void HttpFront::Route() {
  const uint64_t maxBytes = config_.limits.maxRequestBytes;
  server_->set_pre_routing_handler([maxBytes](const httplib::Request& req, httplib::Response& res) {
    return AcceptLength(req, res, maxBytes) ? httplib::Server::HandlerResponse::Unhandled
                                            : httplib::Server::HandlerResponse::Handled;
  });
  // A client that waits for "100 Continue" hears of a refused length first.
  server_->set_expect_100_continue_handler([maxBytes](const httplib::Request& req, httplib::Response& res) {
    return AcceptLength(req, res, maxBytes) ? 100 : res.status;
  });
  const std::string pattern = "/cgi-bin/ikalvoro/do\\.cgi";
  server_->Get(pattern, [this](const httplib::Request& req, httplib::Response& res) {
    Reply reply = service_.Handle("GET", req.target, std::string_view(), req.remote_addr);
    if (!config_.quiet) Log("GET " + Describe(req) + " -> " + reply.Summary());
    WriteReply(std::move(reply), res);
  });
  server_->Post(pattern, [this](const httplib::Request& req, httplib::Response& res,
                                const httplib::ContentReader& reader) {
    Reply reply;
    const uint64_t maxBytes = config_.limits.maxRequestBytes;
    // The login is checked before the body is read: a refused one leaves the
    // body unread and the connection is closed.
    AuthOutcome login = service_.Login(req.target, req.remote_addr);
    if (!login.ok) {
      reply = Reply::Text(login.error + "\n");
      res.set_header("Connection", "close");
      CloseAfterReply();
    } else if (req.is_multipart_form_data()) {
      reply = Reply::Error("multipart bodies are not accepted");
      res.set_header("Connection", "close");
      CloseAfterReply();
    } else {
      std::string body;
      if (req.has_header("Content-Length")) {  // checked against the cap before
        body.reserve(static_cast<size_t>(req.get_header_value<uint64_t>("Content-Length")));
      }
      bool complete = reader([&body, maxBytes](const char* data, size_t size) {
        if (size > maxBytes - body.size()) return false;
        body.append(data, size);
        return true;
      });
      if (complete) {
        reply = service_.Handle("POST", req.target, body, login);
      } else {
        reply = Reply::Error("the request body is too large or broken off");
        res.set_header("Connection", "close");
        CloseAfterReply();
      }
    }
    if (!config_.quiet) Log("POST " + Describe(req) + " -> " + reply.Summary());
    WriteReply(std::move(reply), res);
  });
}

bool HttpFront::Run() { return server_ && server_->listen_after_bind(); }

void HttpFront::Stop() {
  if (server_) server_->stop();
}

void HttpFront::Log(const std::string& line) {
  std::lock_guard<std::mutex> lock(logMutex_);
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
}

}  // namespace edb
