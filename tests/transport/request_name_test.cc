// Names that travel in request URLs and save headers: what is refused before
// a request goes out, and how a name is written into a URL field.
#include <gtest/gtest.h>

#include "transport/request_name.h"

namespace {

TEST(RequestName, ControlCharactersAndAmpersandsAreRefused) {
  for (const wchar_t* name : {L"a\x01", L"a\tb", L"a\x1f", L"a\x7f", L"a&b", L"\x141\xf3"}) {
    EXPECT_FALSE(RequestNameFits("name", name)) << static_cast<int>(name[1]);
  }
  EXPECT_TRUE(RequestNameFits("name", L"G\xf6ran 1/2 ~50%"));
  EXPECT_TRUE(RequestNameFits("name", L""));
  EXPECT_FALSE(RequestNameFits("name", L"", false));
}

TEST(RequestName, UrlFieldsEncodeAllButUnreservedCharacters) {
  EXPECT_EQ(UrlField(L"az-AZ.09_~"), L"az-AZ.09_~");
  EXPECT_EQ(UrlField(L"G\xf6ran 1&2/3%#?+"), L"G%F6ran%201%262%2F3%25%23%3F%2B");
}

}  // namespace
