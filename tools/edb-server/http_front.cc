// The cpp-httplib front (see http_front.h).
#include "http_front.h"

#include <httplib.h>
#include <sys/socket.h>

#include <cstdio>

namespace edb {

namespace {

const char* const kContentType = "text/plain; charset=ISO-8859-1";
// A request arrives in one go; a reply may be read slowly, a few records at a
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
  if (!config_.certFile.empty() || !config_.keyFile.empty()) {
    server_ = std::make_unique<httplib::SSLServer>(config_.certFile.c_str(), config_.keyFile.c_str());
  } else {
    server_ = std::make_unique<httplib::Server>();
  }
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
  server_->set_payload_max_length(kMaxBodyBytes);
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
  const std::string pattern = "/cgi-bin/ikalvoro/do\\.cgi";
  server_->Get(pattern, [this](const httplib::Request& req, httplib::Response& res) {
    Reply reply = service_.Handle("GET", req.target, std::string_view());
    if (!config_.quiet) Log("GET " + Describe(req) + " -> " + reply.Summary());
    WriteReply(std::move(reply), res);
  });
  server_->Post(pattern, [this](const httplib::Request& req, httplib::Response& res,
                                const httplib::ContentReader& reader) {
    Reply reply;
    if (req.is_multipart_form_data()) {
      reply = Reply::Error("multipart bodies are not accepted");
      res.set_header("Connection", "close");
    } else {
      std::string body;
      if (req.has_header("Content-Length")) {
        uint64_t announced = req.get_header_value<uint64_t>("Content-Length");
        if (announced <= kMaxBodyBytes) body.reserve(static_cast<size_t>(announced));
      }
      bool complete = reader([&body](const char* data, size_t size) {
        if (size > kMaxBodyBytes - body.size()) return false;
        body.append(data, size);
        return true;
      });
      if (complete) {
        reply = service_.Handle("POST", req.target, body);
      } else {
        reply = Reply::Error("the request body is too large or broken off");
        res.set_header("Connection", "close");
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
