// Request dispatch (see service.h).
#include "service.h"

#include <exception>
#include <new>
#include <vector>

#include "access_rules.h"
#include "read_commands.h"
#include "request_text.h"
#include "save_commands.h"

namespace edb {

AuthOutcome Service::Login(std::string_view target, std::string_view address) {
  try {
    if (PercentDecode(TargetPath(target)) != kScriptPath) {
      AuthOutcome refused;
      refused.error = "Error: unknown path";
      return refused;
    }
    std::vector<std::string> fields = QueryFields(target);
    return auth_.Check(fields.empty() ? std::string_view() : std::string_view(fields[0]), address);
  } catch (const std::exception& e) {
    AuthOutcome failed;
    failed.error = "Error: internal server error: " + Shown(e.what());
    return failed;
  }
}

Reply Service::Handle(std::string_view method, std::string_view target, std::string_view body,
                      std::string_view address) {
  return Handle(method, target, body, Login(target, address));
}

Reply Service::Handle(std::string_view method, std::string_view target, std::string_view body,
                      const AuthOutcome& login) {
  if (!login.ok) return Reply::Text(login.error + "\n");
  try {
    return Dispatch(method, target, body, login);
  } catch (const std::bad_alloc&) {
    return Reply::Error("out of memory");
  } catch (const std::exception& e) {
    return Reply::Error(std::string("internal server error: ") + Shown(e.what()));
  }
}

Reply Service::Dispatch(std::string_view method, std::string_view target, std::string_view body,
                        const AuthOutcome& login) {
  std::vector<std::string> fields = QueryFields(target);
  if (fields.size() < 2 || fields[1].empty()) return Reply::Error("missing script name");
  const std::string& script = fields[1];
  std::vector<std::string> args(fields.begin() + 2, fields.end());
  std::string refusal = RequestRefusal(store_, login, script, args, body);
  if (!refusal.empty()) return Reply::Error(refusal);

  if (script == "checkauth.cgi") return Reply::Text("OK\n");
  if (script == "iedbvk2.cgi") {
    if (method != "GET") return Reply::Error("iedbvk2.cgi answers GET requests only");
    return HandleReadCommand(store_, args);
  }
  if (script == "iedbvksave2.cgi") {
    if (method != "POST") return Reply::Error("iedbvksave2.cgi answers POST requests only");
    return HandleSaveCommand(store_, login.user, body);
  }
  return Reply::Error("unknown script " + Shown(script));
}

}  // namespace edb
