// The end-to-end program's start: loads VORKABCOM.dll, hands it the
// substitute spreadsheet host's entry point and makes the process's first
// login (with the diagnostic log at level 2) before the tests run.
#include <gtest/gtest.h>

#include <cstdio>

#include "windows/e2e_support.h"
#include "windows/vorkabcom_dll.h"

#ifdef VORKAB_HAVE_SHEETHOST
#include "sheethost/host.h"
#endif

namespace {

class DllEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    VorkabDll& dll = VorkabDll::Get();
    ASSERT_TRUE(dll.ok()) << dll.error();
    auto setEntry = VK_EXPORT(SetExcel12EntryPt);
    ASSERT_NE(setEntry, nullptr) << "VORKABCOM.dll does not export SetExcel12EntryPt";
#ifdef VORKAB_HAVE_SHEETHOST
    setEntry(sheethost::Host::EntryPoint());
#endif
    ASSERT_FALSE(HttpServerUrl().empty()) << "VORKAB_E2E_HTTP names no server";
    std::remove(LogPath().c_str());
    SetFirstLoginResult(Login(L"demo,2," + Widen(LogPath()), HttpServerUrl()));
  }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new DllEnvironment);
  return RUN_ALL_TESTS();
}
