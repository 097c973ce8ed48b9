// What the end-to-end tests share: the servers that scripts/wine-tests.sh
// started (handed over through the environment), the diagnostic log, and the
// login through the DLL's exports.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/workbook_transfers.h"

// "http://127.0.0.1:PORT" from VORKAB_E2E_HTTP, "https://..." from
// VORKAB_E2E_HTTPS (a self-signed certificate); empty when not set.
std::string HttpServerUrl();
std::string HttpsServerUrl();

// Where the DLL writes its diagnostic log: a file in the Windows temporary
// folder, opened by the first login of the process.
std::string LogPath();
// The log as it stands now ("" when it cannot be read).
std::string ReadLog();

// VKInit with the user text, password "demo" and the server address
// "Kalvoro:" + url; the DLL's result.
int32_t Login(const std::wstring& userText, const std::string& url, const std::wstring& password = L"demo");
// VKError's text and the check that a text holds each part, as the Linux
// end-to-end tests have them.
using e2e::ExpectHas;
using e2e::Printable;
using e2e::TakeError;

// The result of the process's first login (user demo at level 2, with the
// log), made before any test runs.
int32_t FirstLoginResult();
void SetFirstLoginResult(int32_t result);

// Latin-1 text as UTF-16.
std::wstring Widen(const std::string& text);
