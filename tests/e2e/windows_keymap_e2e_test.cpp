// The Windows program under Wine with a German keyboard layout (XKB "de"),
// on an X server of its own: the characters that take AltGr there, those on
// its dead keys (^ ` and the acute accent) and those outside ASCII arrive in
// the Wine chat window byte for byte, among letters (Y and Z swap places
// there), shifted punctuation and digits, with Caps Lock off and on.
#include "windowsdesktop.h"
#include "winesuite.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

// In the program's code page, Windows-1252: \x80 the euro sign, \xa7
// section, \xb0 degree, \xb4 the acute accent, \xc4 \xd6 \xdc A, O and U
// with diaeresis, \xdf sharp s.
const Lines kLines = {
    "Mail jo@example.de, {x} [1] a\\b |c| ~7 zY",
    "!\"$%&/()=?*'_:;<>#+-.,0123456789",
    "x^2 `q` a^b ^^ `` e\xb4 e\xb4\xb4",
    "5\x80 \xa7" "3 1\xb0 \xc4\xd6\xdc Gru\xdf",
};

struct GermanDesktop : e2e::WindowsProgramDesktop {
    GermanDesktop() : WindowsProgramDesktop("de")
    {
        std::string zibble;
        for (const std::string &line : kLines)
            zibble += line + "\r\n";
        program.put("Set1/F1", zibble);
        program.start();
    }
};

class WindowsGermanKeymapE2E : public e2e::WineSuite<GermanDesktop> {
protected:
    static void SetUpTestSuite() { startDesktop(); }
};

} // namespace

TEST_F(WindowsGermanKeymapE2E, AltGrAndDeadKeyCharactersArriveByteForByteWithCapsLockOffAndOn)
{
    for (const bool capsLock : {false, true}) {
        SCOPED_TRACE(capsLock ? "Caps Lock on" : "Caps Lock off");
        m_linesBefore = s_desktop->chat.lines().size();
        if (capsLock) {
            press("Caps_Lock");
            s_desktop->probe.tapKey("a");
            s_desktop->probe.tapKey("Return");
            ASSERT_EQ(newLines(1), (Lines{"A"})) << "Caps Lock is not on in the chat window";
            m_linesBefore += 1;
        }
        press("F1");
        const Lines typed = newLines(kLines.size());
        ASSERT_EQ(typed.size(), kLines.size());
        for (size_t i = 0; i < kLines.size(); ++i)
            EXPECT_EQ(typed[i], kLines[i]) << "line " << i + 1;
    }
    press("Caps_Lock");
}
