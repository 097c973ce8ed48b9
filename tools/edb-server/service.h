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

  // Checks the authenticator of a request target (its first query field);
  // address: the client's, for throttling failed logins.
  AuthOutcome Login(std::string_view target, std::string_view address);

  // method: "GET" or "POST"; target: the raw request target (path and query);
  // body: the POST body; login: the outcome of Login for the same target.
  // Never throws: a failure becomes an "Error:" line.
  Reply Handle(std::string_view method, std::string_view target, std::string_view body, const AuthOutcome& login);
  // Login and Handle in one.
  Reply Handle(std::string_view method, std::string_view target, std::string_view body,
               std::string_view address);

 private:
  Reply Dispatch(std::string_view method, std::string_view target, std::string_view body, const AuthOutcome& login);
  Store& store_;
  AuthChecker auth_;
};

}  // namespace edb
