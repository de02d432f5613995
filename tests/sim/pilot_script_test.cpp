// Pilot scripts: what a line may say, and what is refused with its line number.
#include <gtest/gtest.h>

#include "sim/pilot/pilot_script.h"

namespace {

using zolksim::ActionKind;
using zolksim::parsePilotScript;

TEST(PilotScript, ReadsEveryActionAndSortsByTime) {
    const auto script = parsePilotScript(
        "; a comment\n"
        "  # another\n"
        "1.5h  button ENG\r\n"
        "90    type 250 000  \n"
        "2d    key 0x1E\n"
        "0     key m\n"
        "1min  open Right\n"
        "60s   display Right\n"
        "10    button 3\n"
        "10    cancel\n"
        "3d    close Right\n"
        "4d    save orbit-1.scn\n"
        "5     type\n",
        "s.txt");
    ASSERT_TRUE(script.ok) << script.error;
    ASSERT_EQ(script.actions.size(), 11u);
    const auto& a = script.actions;
    EXPECT_EQ(a[0].kind, ActionKind::Key);
    EXPECT_EQ(a[0].key, 0x32u);  // M
    EXPECT_EQ(a[1].kind, ActionKind::Type);
    EXPECT_EQ(a[1].text, "");
    EXPECT_EQ(a[2].button, 3);
    EXPECT_EQ(a[3].kind, ActionKind::Cancel);  // equal times keep the script's order
    EXPECT_EQ(a[4].mode, "ZOLKMFD");
    EXPECT_DOUBLE_EQ(a[4].time, 60.0);
    EXPECT_EQ(a[5].kind, ActionKind::Display);
    EXPECT_EQ(a[6].text, "250 000");  // the rest of the line, inner blanks kept
    EXPECT_EQ(a[7].text, "ENG");
    EXPECT_EQ(a[7].button, -1);
    EXPECT_DOUBLE_EQ(a[7].time, 5400.0);
    EXPECT_EQ(a[7].line, 3);
    EXPECT_EQ(a[8].key, 0x1Eu);
    EXPECT_DOUBLE_EQ(a[10].time, 4 * 86400.0);
}

TEST(PilotScript, RefusesBadLinesNamingThem) {
    const std::pair<const char*, const char*> bad[] = {
        {"x key A", "'x' is not a time"},
        {"-1 key A", "is not a time"},
        {"1y key A", "is not a time"},
        {"1e400 key A", "is not a time"},
        {"nan key A", "is not a time"},
        {"5", "no action after the time"},
        {"5 press A", "unknown action 'press'"},
        {"5 key", "key takes one key"},
        {"5 key A B", "key takes one key"},
        {"5 key F1", "unknown key 'F1'"},
        {"5 key 0x100", "unknown key"},
        {"5 key 0x", "unknown key"},
        {"5 button 12", "button index must be 0-11"},
        {"5 button", "button takes"},
        {"5 cancel now", "cancel takes nothing"},
        {"5 open", "open takes a position"},
        {"5 open Left ZOLKMFD extra", "open takes a position"},
        {"5 close", "takes one display position"},
        {"5 save ../escape.scn", "plain file name"},
        {"5 save /etc/passwd", "plain file name"},
        {"5 save .hidden", "plain file name"},
        {"5 save", "plain file name"},
        {"5 button ABCDEFGHIJKLMNOPQ", "at most 16"},
        {"5 open Left ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456", "at most 32"},
        {"5 display ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456", "at most 32"},
        {"5 type a\x01b", "control character"},
        {"# a\x7f comment", "control character"},
    };
    for (const auto& [line, complaint] : bad) {
        const auto script = parsePilotScript(std::string("0 key A\n") + line + "\n", "s");
        EXPECT_FALSE(script.ok) << line;
        EXPECT_TRUE(script.actions.empty()) << line;
        EXPECT_NE(script.error.find(complaint), std::string::npos) << line << " -> " << script.error;
        EXPECT_EQ(script.error.rfind("s:2: ", 0), 0u) << script.error;
    }
    EXPECT_FALSE(parsePilotScript("1 type " + std::string(256, 'x'), "s").ok);
    EXPECT_TRUE(parsePilotScript("1 type " + std::string(255, 'x'), "s").ok);
    EXPECT_FALSE(parsePilotScript(std::string("1 type a\0b", 10), "s").ok);
    EXPECT_FALSE(zolksim::loadPilotScript("/nonexistent/script.txt").ok);
}

TEST(PilotScript, ClockText) {
    EXPECT_EQ(zolksim::clockText(0), "0d 00:00:00");
    EXPECT_EQ(zolksim::clockText(2 * 86400 + 3 * 3600 + 4 * 60 + 5.9), "2d 03:04:05");
}

}  // namespace
