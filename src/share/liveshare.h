#pragma once
// What the live-share dialogs need of the main window and of the platform,
// and the two menu entries that open them.
#include <functional>
#include <string>

class QWidget;

namespace zibbles {

class MessagePump;
class MessageService;

// The zibble shown in the main window's editor.
class ActiveZibble {
public:
    virtual ~ActiveZibble() = default;
    // The whole text, byte for byte, CR LF between lines.
    virtual std::string editorText() = 0;
    virtual bool editorModified() = 0;
    // The slot file shown in the editor.
    virtual std::string activeFile() = 0;
    // Puts the line and CR LF in front of the text; counts as an edit.
    virtual void insertFirstLine(const std::string &line) = 0;
    // Replaces the whole text; counts as an edit.
    virtual void replaceText(const std::string &text) = 0;
    // Writes the text to the active slot's file when it was edited.
    virtual void SaveActiveZibble() = 0;
};

struct LiveShareServices {
    MessageService *messages = nullptr;
    MessagePump *pump = nullptr;
    std::function<void()> beep;
    std::string host; // "name" or "name:port"
};

// The first line of a shared zibble, followed directly by its ID.
extern const char *const kLiveShareHeader;
// How long one live-share exchange may go without an answer, in seconds.
constexpr int kLiveShareTimeoutSeconds = 30;

// "Live Share - Upload Active Zibble Now"
void UploadActiveZibbleNow(QWidget *owner, ActiveZibble &zibble, const LiveShareServices &services);
// "Live Share - Get a Zibble"
void GetAZibble(QWidget *owner, ActiveZibble &zibble, const LiveShareServices &services);

} // namespace zibbles
