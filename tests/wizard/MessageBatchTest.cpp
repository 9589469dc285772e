// The beep line rewrite of "message.bat" on the text alone: what is not the
// beep line comes out as it went in.
#include <gtest/gtest.h>

#include <string>

#include "MessageBatch.h"

namespace {

using namespace std::string_literals;

TEST(MessageBatchRewrite, LinesThatAreNotReplacedComeBackByteForByte)
{
    const std::string beep = BeepLine(2) + "\n";
    const std::string longLine = std::string(700, 'x') + "\r\n";
    const struct {
        const char* what;
        std::string before;
        std::string after;
    } cases[] = {
        {"a zero byte inside a line", "echo a\0b\nrem msg.exe -c:1\n"s, "echo a\0b\n"s + beep + "\n"},
        {"a zero byte ahead of the marker hides it", "x\0msg.exe\nmsg.exe\n"s, "x\0msg.exe\n"s + beep + "\n"},
        {"a line longer than a piece", longLine + "msg.exe -c:5\r\n", longLine + beep + "\n"},
        {"line ends of either kind", "a\r\nb\n\nc", "a\r\nb\n\nc\n"},
        {"a text without a beep line", "\0\0\n"s, "\0\0\n\n"s},
    };
    for (const auto& c : cases) EXPECT_EQ(c.after, RewriteBeepLines(c.before, 2)) << c.what;
}

}  // namespace
