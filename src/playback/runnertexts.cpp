#include "runnertexts.h"

namespace zibbles {

const char *const kGeekLine = "\n\r'hmmm, I may need a geek to help me on this one?";

const char *const kSpamNotice =
    "There Spam Prevention:\n\rI loop Zibble must have at least one delay of >=250\n\r";

std::string scriptErrorText(ScriptError error, size_t lineNumber, const std::string &mediaPath)
{
    const std::string head = "ZIBBLES: Structure command error on line:";
    const std::string n = std::to_string(lineNumber);
    switch (error) {
    case ScriptError::MissingQuote:
        return head + " " + n + " please check your scripting.";
    case ScriptError::ZeroDelay:
        return head + n + " 0 delay please check your scripting.";
    case ScriptError::DelayTooLong:
        return head + n + " delay > 30000 please check your scripting.";
    case ScriptError::MediaNotFound:
        return head + n + " file \"" + mediaPath + "\" not found.";
    case ScriptError::MediaNotSound:
        return head + n + " file \"" + mediaPath + "\" is not a .wav or .mp3 file.";
    }
    return head + n;
}

} // namespace zibbles
