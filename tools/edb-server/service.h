// The request dispatcher behind "/cgi-bin/ikalvoro/do.cgi": takes the raw
// query apart, checks the authenticator and hands the request to the script
// it names ("checkauth.cgi", "iedbvk2.cgi", "iedbvksave2.cgi").
#pragma once

#include <string>
#include <string_view>

#include "auth_check.h"
#include "reply.h"
#include "store.h"

namespace edb {

constexpr std::string_view kScriptPath = "/cgi-bin/ikalvoro/do.cgi";

class Service {
 public:
  Service(Store& store, const AuthSettings& auth) : store_(store), auth_(store, auth) {}

  // method: "GET" or "POST"; target: the raw request target (path and query);
  // body: the POST body.  Never throws: a failure becomes an "Error:" line.
  Reply Handle(std::string_view method, std::string_view target, std::string_view body);

 private:
  Reply Dispatch(std::string_view method, std::string_view target, std::string_view body);
  Store& store_;
  AuthChecker auth_;
};

}  // namespace edb
