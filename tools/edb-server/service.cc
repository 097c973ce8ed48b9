// Request dispatch (see service.h).
#include "service.h"

#include <exception>
#include <new>
#include <vector>

#include "read_commands.h"
#include "request_text.h"
#include "save_commands.h"

namespace edb {

Reply Service::Handle(std::string_view method, std::string_view target, std::string_view body) {
  try {
    return Dispatch(method, target, body);
  } catch (const std::bad_alloc&) {
    return Reply::Error("out of memory");
  } catch (const std::exception& e) {
    return Reply::Error(std::string("internal server error: ") + Shown(e.what()));
  }
}

Reply Service::Dispatch(std::string_view method, std::string_view target, std::string_view body) {
  if (PercentDecode(TargetPath(target)) != kScriptPath) return Reply::Error("unknown path");
  std::vector<std::string> fields = QueryFields(target);
  if (fields.empty() || fields[0].empty()) return Reply::Error("missing authenticator");
  AuthOutcome login = auth_.Check(fields[0]);
  if (!login.ok) return Reply::Text(login.error + "\n");
  if (fields.size() < 2 || fields[1].empty()) return Reply::Error("missing script name");
  const std::string& script = fields[1];

  if (script == "checkauth.cgi") return Reply::Text("OK\n");
  if (script == "iedbvk2.cgi") {
    if (method != "GET") return Reply::Error("iedbvk2.cgi answers GET requests only");
    return HandleReadCommand(store_, std::vector<std::string>(fields.begin() + 2, fields.end()));
  }
  if (script == "iedbvksave2.cgi") {
    if (method != "POST") return Reply::Error("iedbvksave2.cgi answers POST requests only");
    return HandleSaveCommand(store_, login.user, body);
  }
  return Reply::Error("unknown script " + Shown(script));
}

}  // namespace edb
