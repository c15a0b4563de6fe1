#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/LinkCommand.h"

namespace {

constexpr char kTarget[] = "http://www.example.com/";

TEST(LinkCommandTest, CutsAtThePlaceholderAndAppendsTheTarget) {
  struct Case {
    const char* registered;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"\"C:\\Browser\\browser.exe\" -osint -url \"%1\"",
       std::string("\"C:\\Browser\\browser.exe\" -osint -url  ") + kTarget},
      {"C:\\Browser\\browser.exe %1", std::string("C:\\Browser\\browser.exe  ") + kTarget},
      {"C:\\Browser\\browser.exe", std::string("C:\\Browser\\browser.exe ") + kTarget},
      {"\"browser.exe\" \"%1\" %1", std::string("\"browser.exe\"  ") + kTarget},
      {"", std::string(" ") + kTarget},
  };
  for (const Case& c : cases) {
    char out[512];
    ASSERT_TRUE(BuildOpenCommand(c.registered, kTarget, out, sizeof out)) << c.registered;
    EXPECT_EQ(std::string(out), c.expected) << c.registered;
  }
}

TEST(LinkCommandTest, ACommandThatDoesNotFitIsRefusedWithoutWritingPastTheBuffer) {
  const std::string target = "http://t/";
  // Registered text long enough that the command and its NUL need exactly
  // 512 bytes, then one more.
  for (std::size_t extra : {0u, 1u, 300u}) {
    const std::string registered(512 - 1 - 1 - target.size() + extra, 'x');
    std::vector<char> out(512 + 16, '#');
    const bool fits = BuildOpenCommand(registered.c_str(), target.c_str(), out.data(), 512);
    EXPECT_EQ(fits, extra == 0) << extra;
    if (fits) {
      EXPECT_EQ(std::string(out.data()), registered + " " + target);
    } else {
      EXPECT_EQ(out[0], '\0') << extra;
    }
    for (std::size_t i = 512; i < out.size(); ++i)
      ASSERT_EQ(out[i], '#') << "wrote past the buffer";
  }
}

TEST(LinkCommandTest, ANoRoomBufferStaysUntouched) {
  char out[1] = {'#'};
  EXPECT_FALSE(BuildOpenCommand("a", "b", out, 0));
  EXPECT_EQ(out[0], '#');
}

}  // namespace
