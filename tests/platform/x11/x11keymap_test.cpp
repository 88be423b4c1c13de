// Characters and virtual keys on hand-made X keyboard mappings: the key a
// user would press, Shift where the character is on the shifted level,
// nothing where the layout cannot type it.
#include "platform/x11/x11keymap.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <set>
#include <string>

using namespace zibbles;

namespace {
// Two groups of two levels, then the first group's third and fourth (AltGr),
// as XGetKeyboardMapping gives them.
constexpr int kPer = 6;

class Layout {
public:
    Layout() { m_snapshot.keysymsPerKeycode = kPer; m_snapshot.keysyms.assign(size_t(256 - 8) * kPer, 0); }
    Layout &key(int keycode, std::initializer_list<uint32_t> keysyms)
    {
        int i = 0;
        for (uint32_t k : keysyms)
            m_snapshot.keysyms[size_t(keycode - 8) * kPer + size_t(i++)] = k;
        return *this;
    }
    Layout &group(int group)
    {
        m_snapshot.group = group;
        return *this;
    }
    X11Keymap build() const { return X11Keymap(m_snapshot); }

private:
    KeymapSnapshot m_snapshot;
};

// The main block of a US keyboard with the keycodes of an evdev server.
Layout usMainBlock()
{
    Layout l;
    const char *digits = "1!2@3#4$5%6^7&8*9(0)-_=+";
    for (int i = 0; i < 12; ++i)
        l.key(10 + i, {uint32_t(digits[2 * i]), uint32_t(digits[2 * i + 1])});
    const char *top = "qwertyuiop", *home = "asdfghjkl", *bottom = "zxcvbnm";
    for (int i = 0; top[i]; ++i)
        l.key(24 + i, {uint32_t(top[i]), uint32_t(top[i] - 32)});
    for (int i = 0; home[i]; ++i)
        l.key(38 + i, {uint32_t(home[i]), uint32_t(home[i] - 32)});
    for (int i = 0; bottom[i]; ++i)
        l.key(52 + i, {uint32_t(bottom[i]), uint32_t(bottom[i] - 32)});
    l.key(34, {XK_bracketleft, XK_braceleft}).key(35, {XK_bracketright, XK_braceright});
    l.key(47, {XK_semicolon, XK_colon}).key(48, {XK_apostrophe, XK_quotedbl});
    l.key(49, {XK_grave, XK_asciitilde}).key(51, {XK_backslash, XK_bar});
    l.key(59, {XK_comma, XK_less}).key(60, {XK_period, XK_greater}).key(61, {XK_slash, XK_question});
    l.key(9, {XK_Escape}).key(22, {XK_BackSpace, XK_BackSpace}).key(23, {XK_Tab, XK_ISO_Left_Tab});
    l.key(36, {XK_Return}).key(37, {XK_Control_L}).key(50, {XK_Shift_L}).key(62, {XK_Shift_R});
    l.key(64, {XK_Alt_L, XK_Meta_L}).key(65, {XK_space});
    for (int i = 0; i < 10; ++i)
        l.key(67 + i, {uint32_t(XK_F1 + i)});
    l.key(95, {XK_F11}).key(96, {XK_F12});
    l.key(110, {XK_Home}).key(111, {XK_Up}).key(112, {XK_Prior}).key(113, {XK_Left}).key(114, {XK_Right});
    l.key(115, {XK_End}).key(116, {XK_Down}).key(117, {XK_Next}).key(118, {XK_Insert}).key(119, {XK_Delete});
    // The keypad, whose keysyms never stand for a typed character.
    l.key(79, {XK_KP_Home, XK_KP_7}).key(63, {XK_KP_Multiply}).key(86, {XK_KP_Add}).key(104, {XK_KP_Enter});
    return l;
}

struct Expected {
    char ch;
    int vk;
    bool shift;
};
} // namespace

TEST(X11Keymap, UsLayoutTypesEveryPrintableAsciiCharacterWithItsOwnKey)
{
    const X11Keymap keymap = usMainBlock().build();
    const Expected table[] = {
        {'a', 0x41, false}, {'z', 0x5A, false}, {'A', 0x41, true},  {'Q', 0x51, true},  {'0', 0x30, false},
        {'9', 0x39, false}, {' ', 0x20, false}, {'!', 0x31, true},  {'"', 0xDE, true},  {'#', 0x33, true},
        {'$', 0x34, true},  {'%', 0x35, true},  {'&', 0x37, true},  {'\'', 0xDE, false}, {'(', 0x39, true},
        {')', 0x30, true},  {'*', 0x38, true},  {'+', 0xBB, true},  {',', 0xBC, false}, {'-', 0xBD, false},
        {'.', 0xBE, false}, {'/', 0xBF, false}, {':', 0xBA, true},  {';', 0xBA, false}, {'<', 0xBC, true},
        {'=', 0xBB, false}, {'>', 0xBE, true},  {'?', 0xBF, true},  {'@', 0x32, true},  {'[', 0xDB, false},
        {'\\', 0xDC, false}, {']', 0xDD, false}, {'^', 0x36, true}, {'_', 0xBD, true},  {'`', 0xC0, false},
        {'{', 0xDB, true},  {'|', 0xDC, true},  {'}', 0xDD, true},  {'~', 0xC0, true},
    };
    for (const Expected &e : table)
        EXPECT_EQ(keymap.vkKeyScan(uint8_t(e.ch)), e.vk | (e.shift ? 0x100 : 0)) << "character " << e.ch;
    // Every printable ASCII character has a key on this layout.
    for (int ch = 0x20; ch < 0x7F; ++ch)
        EXPECT_NE(keymap.vkKeyScan(uint8_t(ch)), -1) << "character " << char(ch);
}

TEST(X11Keymap, VirtualKeysPressTheirKeysAndKeysWithoutKeysymSendNothing)
{
    const X11Keymap keymap = usMainBlock().build();
    const std::pair<int, unsigned> keys[] = {
        {8, 22},   {9, 23},   {13, 36},  {27, 9},   {16, 50},  {17, 37},  {18, 64},  {32, 65},
        {33, 112}, {34, 117}, {35, 115}, {36, 110}, {37, 113}, {38, 111}, {39, 114}, {40, 116},
        {45, 118}, {46, 119}, {112, 67}, {121, 76}, {122, 95}, {123, 96}, {0x41, 38}, {0x39, 18},
        {0xBA, 47}, {0xDE, 48},
    };
    for (auto [vk, keycode] : keys) {
        EXPECT_EQ(keymap.keycodeForVk(uint8_t(vk)), keycode) << "virtual key " << vk;
        EXPECT_EQ(keymap.scanCodeForVk(uint8_t(vk)), keycode - 8) << "virtual key " << vk;
    }
    for (int vk : {0, 1, 10, 12, 20, 44, 124, 255}) {
        EXPECT_EQ(keymap.keycodeForVk(uint8_t(vk)), 0u) << "virtual key " << vk;
        EXPECT_EQ(keymap.scanCodeForVk(uint8_t(vk)), 0u) << "virtual key " << vk;
    }
    // Control characters that have a key of their own; the rest have none.
    EXPECT_EQ(keymap.vkKeyScan(13), 13);
    EXPECT_EQ(keymap.vkKeyScan(8), 8);
    for (int ch : {0, 1, 10, 31, 127})
        EXPECT_EQ(keymap.vkKeyScan(uint8_t(ch)), -1) << "character " << ch;
}

TEST(X11Keymap, ExtraKeysCarryingAMainKeyboardKeysymAreNotUsed)
{
    // Like Xvfb's own mapping: "(" and ")" once more on keys of their own,
    // unshifted, and "+" also on a keypad key.
    Layout layout = usMainBlock();
    layout.key(187, {XK_parenleft}).key(188, {XK_parenright}).key(200, {XK_KP_Add, XK_plus});
    const X11Keymap keymap = layout.build();
    EXPECT_EQ(keymap.vkKeyScan('('), 0x139);
    EXPECT_EQ(keymap.vkKeyScan(')'), 0x130);
    EXPECT_EQ(keymap.vkKeyScan('+'), 0x1BB);
    EXPECT_EQ(keymap.keycodeForVk(0x39), 18u);
    EXPECT_EQ(keymap.keycodeForVk(0xBB), 21u);
}

TEST(X11Keymap, CharactersFoundOnlyOnExtraKeysGetVirtualKeysOfTheirOwn)
{
    Layout layout;
    layout.key(36, {XK_Return}).key(50, {XK_Shift_L});
    layout.key(187, {XK_parenleft, XK_bracketleft}); // the only "(" and "["
    layout.key(86, {XK_KP_Add, XK_plus});            // a keypad "+" ...
    layout.key(140, {XK_plus});                      // ... and a plain one
    layout.key(141, {XK_KP_Subtract, XK_minus});     // "-" only on the keypad
    const X11Keymap keymap = layout.build();

    const int paren = keymap.vkKeyScan('('), plus = keymap.vkKeyScan('+'), minus = keymap.vkKeyScan('-');
    ASSERT_NE(paren, -1);
    ASSERT_NE(plus, -1);
    ASSERT_NE(minus, -1);
    EXPECT_EQ(keymap.vkKeyScan('['), paren | 0x100);
    EXPECT_EQ(plus & 0xFF00, 0);
    EXPECT_EQ(keymap.keycodeForVk(uint8_t(paren)), 187u);
    EXPECT_EQ(keymap.keycodeForVk(uint8_t(plus)), 140u);
    EXPECT_EQ(keymap.keycodeForVk(uint8_t(minus & 0xFF)), 141u);
    EXPECT_EQ(minus & 0xFF00, 0x100);

    // The numbers handed out are ones that no named key, control byte or
    // "no key" (255) uses, and each belongs to one key.
    std::set<int> seen;
    for (int vk : {paren & 0xFF, plus & 0xFF, minus & 0xFF}) {
        EXPECT_TRUE(vk > 0x20 && vk < 0xFF) << vk;
        EXPECT_FALSE((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z') || (vk >= 0x60 && vk <= 0x87)) << vk;
        EXPECT_TRUE(seen.insert(vk).second) << vk;
    }
}

TEST(X11Keymap, WindowsCodePageCharactersGoThroughTheirKeysyms)
{
    // A French-style row: é and è unshifted with the digits above them, € on
    // a key by its legacy keysym, ƒ by its Unicode keysym, ß with no upper case.
    Layout layout = usMainBlock();
    layout.key(11, {XK_eacute, XK_2}).key(16, {XK_egrave, XK_7});
    layout.key(140, {0x20ac}).key(141, {0x1000192}).key(142, {XK_ssharp});
    const X11Keymap keymap = layout.build();

    const int eacute = keymap.vkKeyScan(0xE9);
    ASSERT_NE(eacute, -1);
    EXPECT_EQ(eacute & 0xFF00, 0);
    EXPECT_EQ(keymap.keycodeForVk(uint8_t(eacute)), 11u);
    EXPECT_EQ(keymap.vkKeyScan('2'), eacute | 0x100);
    EXPECT_EQ(keymap.keycodeForVk(uint8_t(keymap.vkKeyScan(0xE8))), 16u);
    EXPECT_EQ(keymap.keycodeForVk(uint8_t(keymap.vkKeyScan(0x80))), 140u);
    EXPECT_EQ(keymap.keycodeForVk(uint8_t(keymap.vkKeyScan(0x83))), 141u);
    EXPECT_EQ(keymap.vkKeyScan(0xDF) & 0xFF00, 0);
    EXPECT_EQ(keymap.keycodeForVk(uint8_t(keymap.vkKeyScan(0xDF))), 142u);
}

TEST(X11Keymap, CharactersTheLayoutCannotTypeWithShiftAloneAreMinusOne)
{
    Layout layout = usMainBlock();
    layout.key(94, {XK_less, XK_greater, XK_bar, XK_brokenbar}); // ¦ only in the second group
    const X11Keymap keymap = layout.build();
    for (int ch : {0xE9, 0x80, 0xA6, 0xFC, 0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(keymap.vkKeyScan(uint8_t(ch)), -1) << "character " << ch;
}

TEST(X11Keymap, SingleLetterKeysTypeBothCasesAndModifiersFallBackToTheRightHand)
{
    Layout layout;
    layout.key(24, {XK_q}).key(25, {XK_W}).key(62, {XK_Shift_R}).key(105, {XK_Control_R}).key(108, {XK_Alt_R});
    const X11Keymap keymap = layout.build();
    EXPECT_EQ(keymap.vkKeyScan('q'), 0x51);
    EXPECT_EQ(keymap.vkKeyScan('Q'), 0x151);
    EXPECT_EQ(keymap.vkKeyScan('w'), 0x57);
    EXPECT_EQ(keymap.vkKeyScan('W'), 0x157);
    EXPECT_EQ(keymap.keycodeForVk(16), 62u);
    EXPECT_EQ(keymap.keycodeForVk(17), 105u);
    EXPECT_EQ(keymap.keycodeForVk(18), 108u);
}

TEST(X11Keymap, TheLayoutInUseDecidesWhichKeyTypesACharacter)
{
    // US first, a German-style second layout with Y and Z swapped and ü on
    // the "[" key; keys with one layout only type the same in both.
    Layout layout = usMainBlock();
    layout.key(29, {XK_y, XK_Y, XK_z, XK_Z}).key(52, {XK_z, XK_Z, XK_y, XK_Y});
    layout.key(34, {XK_bracketleft, XK_braceleft, XK_udiaeresis, XK_Udiaeresis});

    const X11Keymap us = layout.group(0).build();
    EXPECT_EQ(us.keycodeForVk(uint8_t(us.vkKeyScan('z'))), 52u);
    EXPECT_EQ(us.vkKeyScan('z'), 0x5A);
    EXPECT_EQ(us.vkKeyScan(0xFC), -1);
    EXPECT_EQ(us.vkKeyScan('['), 0xDB);

    const X11Keymap german = layout.group(1).build();
    EXPECT_EQ(german.vkKeyScan('z'), 0x5A);
    EXPECT_EQ(german.keycodeForVk(0x5A), 29u);
    EXPECT_EQ(german.keycodeForVk(0x59), 52u);
    EXPECT_EQ(german.vkKeyScan('Y'), 0x159);
    EXPECT_EQ(german.keycodeForVk(uint8_t(german.vkKeyScan(0xFC))), 34u);
    EXPECT_EQ(german.vkKeyScan(0xDC), german.vkKeyScan(0xFC) | 0x100);
    EXPECT_EQ(german.vkKeyScan('['), -1);
    // Keys that have no second layout: the same as in the first.
    EXPECT_EQ(german.vkKeyScan('a'), 0x41);
    EXPECT_EQ(german.vkKeyScan('('), 0x139);
    EXPECT_EQ(german.keycodeForVk(13), 36u);
}

TEST(X11Keymap, CharactersOnTheThirdAndFourthLevelAreTypedWithAltGr)
{
    // German-style: @ on AltGr+Q, the euro on AltGr+E, | and the broken bar
    // on the key beside the left Shift; no @ or | elsewhere.
    Layout layout = usMainBlock();
    layout.key(11, {XK_2, XK_quotedbl}).key(51, {XK_numbersign, XK_apostrophe});
    layout.key(24, {XK_q, XK_Q, XK_q, XK_Q, XK_at, XK_Greek_OMEGA});
    layout.key(26, {XK_e, XK_E, XK_e, XK_E, XK_EuroSign, XK_EuroSign});
    layout.key(94, {XK_less, XK_greater, XK_less, XK_greater, XK_bar, XK_brokenbar});
    const X11Keymap noAltGrKey = layout.build();
    layout.key(92, {XK_ISO_Level3_Shift});
    const X11Keymap keymap = layout.build();

    EXPECT_EQ(keymap.keycodeForVk(0xA5), 92u);
    EXPECT_EQ(keymap.vkKeyScan('@'), 0x651);
    EXPECT_EQ(keymap.vkKeyScan(0x80), 0x645); // the euro sign
    EXPECT_EQ(keymap.vkKeyScan('|'), 0x6E2);
    EXPECT_EQ(keymap.vkKeyScan(0xA6), 0x7E2); // the broken bar
    EXPECT_EQ(keymap.vkKeyScan('q'), 0x51);
    EXPECT_EQ(keymap.vkKeyScan('<'), 0xE2);
    // Without a key that gives the third level, they cannot be typed; nor in
    // the second layout, whose third level the core mapping does not show.
    for (const X11Keymap &other : {noAltGrKey, layout.group(1).build()})
        for (unsigned char ch : {'@', '|', '\x80', '\xA6'})
            EXPECT_EQ(other.vkKeyScan(ch), -1) << int(ch);
    EXPECT_EQ(noAltGrKey.vkKeyScan('q'), 0x51);
}

TEST(X11Keymap, AnEmptyMappingTypesNothing)
{
    const X11Keymap keymaps[] = {X11Keymap(), X11Keymap(KeymapSnapshot{})};
    for (const X11Keymap &keymap : keymaps) {
        for (int ch = 0; ch < 256; ++ch)
            EXPECT_EQ(keymap.vkKeyScan(uint8_t(ch)), -1);
        for (int vk = 0; vk < 256; ++vk)
            EXPECT_EQ(keymap.keycodeForVk(uint8_t(vk)), 0u);
    }
}
