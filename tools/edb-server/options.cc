// Command-line parsing (see options.h).
#include "options.h"

#include <cerrno>
#include <cstdlib>

namespace edb {

namespace {

bool ParseInt(const std::string& text, int64_t low, int64_t high, int64_t* value) {
  if (text.empty() || text.size() > 12) return false;
  char* end = nullptr;
  errno = 0;
  long long v = std::strtoll(text.c_str(), &end, 10);
  if (errno || *end || text[0] == ' ' || v < low || v > high) return false;
  *value = v;
  return true;
}

// The server's limits and login throttling, all whole numbers.
struct NumberOption {
  const char* name;
  int64_t low, high;
  void (*set)(Options*, int64_t);
};

const NumberOption kNumberOptions[] = {
    {"--header-timeout", 1, 3600,
     [](Options* o, int64_t v) { o->listen.limits.headerTimeoutSeconds = static_cast<int32_t>(v); }},
    {"--body-timeout", 1, 86400,
     [](Options* o, int64_t v) { o->listen.limits.bodyTimeoutSeconds = static_cast<int32_t>(v); }},
    {"--min-body-rate", 1, 1048576,
     [](Options* o, int64_t v) { o->listen.limits.minBodyKiBPerSecond = static_cast<int32_t>(v); }},
    {"--max-request-mb", 1, 4096,
     [](Options* o, int64_t v) { o->listen.limits.maxRequestBytes = static_cast<uint64_t>(v) << 20; }},
    {"--max-connections-per-address", 1, 10000,
     [](Options* o, int64_t v) { o->listen.limits.maxConnectionsPerAddress = static_cast<int32_t>(v); }},
    {"--threads", 1, 1024, [](Options* o, int64_t v) { o->listen.limits.threads = static_cast<int32_t>(v); }},
    {"--login-failures", 0, 1000,
     [](Options* o, int64_t v) { o->auth.throttle.freeFailures = static_cast<int32_t>(v); }},
    {"--login-delay", 0, 3600,
     [](Options* o, int64_t v) { o->auth.throttle.firstDelaySeconds = static_cast<int32_t>(v); }},
    {"--login-delay-max", 1, 86400,
     [](Options* o, int64_t v) { o->auth.throttle.maxDelaySeconds = static_cast<int32_t>(v); }},
};

}  // namespace

const char* UsageText() {
  return "usage: edb-server --data DIR [--bind ADDRESS] [--port N] [--seed demo]\n"
         "                  [--cert FILE --key FILE] [--auth-window MINUTES]\n"
         "                  [--clock-offset MINUTES] [--quiet] [LIMITS]\n"
         "       edb-server --data DIR --add-user NAME [--admin]   (password on stdin, one line)\n"
         "       edb-server --help\n"
         "\n"
         "  --data DIR             folder of the server's SQLite file (created when missing)\n"
         "  --bind ADDRESS         listening address (default 127.0.0.1)\n"
         "  --port N               listening port (default 8080; 0 picks a free port)\n"
         "  --seed demo            fill an empty data folder with demonstration data\n"
         "  --cert FILE --key FILE serve HTTPS with this certificate and private key\n"
         "  --auth-window MINUTES  how far an authenticator's time may lie from the\n"
         "                         server's clock (default 1440)\n"
         "  --clock-offset MINUTES shift the server's clock\n"
         "  --quiet                no request log on stderr\n"
         "  --add-user NAME        add a login user (or change its password and role) and exit\n"
         "  --admin                with --add-user: the user may read and write every EDB\n"
         "\n"
         "limits:\n"
         "  --header-timeout S     whole time for a request line and headers (default 20)\n"
         "  --body-timeout S       whole time for a body: S plus one second per\n"
         "                         --min-body-rate KiB (defaults 60 and 64)\n"
         "  --min-body-rate KIB    see --body-timeout\n"
         "  --max-request-mb N     largest request body in MiB (default 512)\n"
         "  --max-connections-per-address N   open connections of one client (default 8)\n"
         "  --threads N            requests served at the same time (default 32)\n"
         "  --login-failures N     failed logins of a user before each further one waits\n"
         "                         (default 5; four times as many per client address)\n"
         "  --login-delay S        the first wait, doubling with each failure (default 1;\n"
         "                         0 switches the waits off)\n"
         "  --login-delay-max S    the longest wait (default 60)\n";
}

bool ParseOptions(const std::vector<std::string>& args, Options* options, std::string* error) {
  bool sawServerOption = false;
  bool sawAddUser = false;
  bool sawAdmin = false;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::string value;
    bool inlineValue = false;
    size_t eq = name.find('=');
    if (name.compare(0, 2, "--") == 0 && eq != std::string::npos) {
      value = name.substr(eq + 1);
      name = name.substr(0, eq);
      inlineValue = true;
    }
    if (name == "--help" || name == "-h") {
      options->action = Options::Action::kHelp;
      return true;
    }
    if (name == "--quiet" || name == "--admin") {
      if (inlineValue) {
        *error = name + " takes no value";
        return false;
      }
      if (name == "--quiet") options->listen.quiet = true;
      if (name == "--admin") sawAdmin = true;
      continue;
    }
    const NumberOption* numeric = nullptr;
    for (const NumberOption& n : kNumberOptions) {
      if (name == n.name) numeric = &n;
    }
    static const char* const kWithValue[] = {"--data", "--bind", "--port", "--seed", "--cert", "--key",
                                             "--auth-window", "--clock-offset", "--add-user"};
    bool known = numeric != nullptr;
    for (const char* k : kWithValue) known = known || name == k;
    if (!known) {
      *error = "unknown option " + name;
      return false;
    }
    if (!inlineValue) {
      if (i + 1 >= args.size()) {
        *error = name + " needs a value";
        return false;
      }
      value = args[++i];
    }
    int64_t number = 0;
    if (numeric) {
      if (!ParseInt(value, numeric->low, numeric->high, &number)) {
        *error = name + " needs a number from " + std::to_string(numeric->low) + " to " +
                 std::to_string(numeric->high);
        return false;
      }
      numeric->set(options, number);
      sawServerOption = true;
    } else if (name == "--data") {
      if (value.empty()) {
        *error = "--data needs a folder";
        return false;
      }
      options->dataDir = value;
    } else if (name == "--add-user") {
      options->addUser = value;
      sawAddUser = true;
    } else {
      sawServerOption = true;
      if (name == "--bind") {
        if (value.empty()) {
          *error = "--bind needs an address";
          return false;
        }
        options->listen.bind = value;
      } else if (name == "--port") {
        if (!ParseInt(value, 0, 65535, &number)) {
          *error = "--port needs a number from 0 to 65535";
          return false;
        }
        options->listen.port = static_cast<int>(number);
      } else if (name == "--seed") {
        if (value != "demo") {
          *error = "--seed knows only \"demo\"";
          return false;
        }
        options->seedDemo = true;
      } else if (name == "--cert") {
        options->listen.certFile = value;
      } else if (name == "--key") {
        options->listen.keyFile = value;
      } else if (name == "--auth-window") {
        if (!ParseInt(value, 0, 10000000, &number)) {
          *error = "--auth-window needs a number of minutes from 0 to 10000000";
          return false;
        }
        options->auth.windowMinutes = static_cast<int32_t>(number);
      } else if (name == "--clock-offset") {
        if (!ParseInt(value, -10000000, 10000000, &number)) {
          *error = "--clock-offset needs a number of minutes from -10000000 to 10000000";
          return false;
        }
        options->auth.clockOffsetMinutes = static_cast<int32_t>(number);
      }
    }
  }
  if (options->dataDir.empty()) {
    *error = "--data DIR is required";
    return false;
  }
  if (sawAddUser) {
    if (sawServerOption) {
      *error = "--add-user takes only --data, --admin and --quiet";
      return false;
    }
    options->admin = sawAdmin;
    options->action = Options::Action::kAddUser;
    return true;
  }
  if (sawAdmin) {
    *error = "--admin goes with --add-user";
    return false;
  }
  if (options->listen.certFile.empty() != options->listen.keyFile.empty()) {
    *error = "--cert and --key go together";
    return false;
  }
  return true;
}

}  // namespace edb
