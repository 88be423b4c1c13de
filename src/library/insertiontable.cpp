// The insertion menu, item by item. Each item inserts exactly its caption,
// trailing space included: many emotes end in one so the chat text after
// them reads right.
#include "insertionmenu.h"

#include <array>

namespace zibbles {

namespace {

constexpr InsertionEntry sub(std::string_view caption) { return {InsertionEntry::Submenu, caption}; }
constexpr InsertionEntry item(std::string_view caption) { return {InsertionEntry::Item, caption}; }
constexpr InsertionEntry sep() { return {InsertionEntry::Separator, {}}; }
constexpr InsertionEntry end() { return {InsertionEntry::EndSubmenu, {}}; }

constexpr auto kEntries = std::to_array<InsertionEntry>({
    sub("Script Advanced"),
        item("%delay=\"1000\"%"), item("%media=\"filename.wav\"%"), item("%loop_zibble%"),
    end(),
    sep(),
    sub("Dance"),
        item("'heyhey"), item("'twist"), item("'giddyup"), item("'bodywave"), item("'nightfever"),
        item("'jig"), item("'yessir"), item("'handstand"), item("'handstand 'whatever"),
    end(),
    sub("Emotions"),
        sub("Common"),
            item("rofl"), item("'hmmm "), item("'laugh "),
            sep(),
            item("'bye "), item("'hello "),
            sep(),
            item("'surprise "), item("''mad"), item("'sad"), item("'doh "), item("''drat"),
            sep(),
            item("'yay"), item("''yay"), item("'''yay"),
        end(),
        sub("Model"),
            item("'backpose "), item("'leftpose "), item("'rightpose "), item("'tada "),
        end(),
        sub("Flirt"),
            item("'wink "), item("'tongue "), item("'love "), item("'sexy "), item("'''sexy "),
            item("''sexy "), item("'bluesteel "), item("'blush "),
        end(),
        sub("Smack Talk"),
            item("'yata"), item("'what "), item("''what "), item("'whatever "), item("'tth "),
            item("'''what "), item("'bow "), item("'clap "), item("'hole "), item("'''sleep "),
        end(),
        sub("Other"),
            item("'drat "), item("''drat"), item("'hi5 "), item("'nod "), item("'td "), item("'tu "),
        end(),
        sep(),
    end(),
    sub("Head Pops"),
        item("'afk "), item("'boo "), item("'brb "), item("'burp "), item("'cash "), item("'curse "),
        item("'idea "), item("'love "), item("'sleep "),
        item("'1"), item("'2"), item("'3"), item("'4"), item("'5"),
        item("'6"), item("'7"), item("'8"), item("'9"), item("'10"),
    end(),
    sub("Shooting"),
        item("'blowkiss "), item("'flower "), item("'flowers "), item("'heart "), item("'hearts "),
        sep(),
        item("'chicken "), item("'dagger "), item("'snake "), item("'knife "),
        sep(),
        item("'paper "), item("'rock "), item("'scissors "),
        sep(),
        item("'takemic "), item("'givemic "),
    end(),
    sub("Dog"),
        item("good"), item("bad"), item("stupid"), item("fetch"), item("die"), item("sit"),
        item("lie"), item("beg"), item("go"), item("away"), item("ball"), item("bark"),
        item("down"), item("go"), item("heel"), item("no"), item("play"), item("run"),
        item("shake"), item("paw"), item("wag"), item("sleep"), item("sicem"),
    end(),
    sep(),
    item("'"),
    item("# Comment line - Zibbles does not see this line"),
});

} // namespace

std::span<const InsertionEntry> insertionEntries()
{
    return kEntries;
}

} // namespace zibbles
