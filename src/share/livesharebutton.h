#pragma once
// The main window's "Live Share" button with its drop-down menu, and the
// main window's editor as the live-share dialogs see it.
#include "liveshare.h"

#include <functional>
#include <memory>

class QMenu;
class QPushButton;
class QWidget;

namespace zibbles {

class UserStore;
class ZibbleEditor;

// What the button needs of the main window.
struct LiveShareWiring {
    ZibbleEditor *editor = nullptr;
    std::function<bool()> editorModified;
    std::function<std::string()> activeFileName;
    std::function<void()> saveActiveZibble;
    UserStore *store = nullptr;        // names the live-share host
    MessageService *messages = nullptr;
    MessagePump *pump = nullptr;
};

class EditorZibble : public ActiveZibble {
public:
    explicit EditorZibble(const LiveShareWiring &wiring) : m_wiring(wiring) {}
    std::string editorText() override;
    bool editorModified() override;
    std::string activeFile() override;
    void insertFirstLine(const std::string &line) override;
    void replaceText(const std::string &text) override;
    void SaveActiveZibble() override;

private:
    const LiveShareWiring &m_wiring;
};

class LiveShareButton {
public:
    LiveShareButton(QWidget *form, LiveShareWiring wiring);
    ~LiveShareButton();

    QPushButton *button() const { return m_button; }
    QMenu *menu() const { return m_menu; }

    void UploadClick();
    void GetZibbleClick();
    // "Standard Share - Go to Web Site": the maker's Zibbles page.
    void GoToWebSiteClick();

private:
    LiveShareServices services() const;

    QWidget *m_form;
    LiveShareWiring m_wiring;
    EditorZibble m_zibble{m_wiring};
    QPushButton *m_button;
    QMenu *m_menu;
};

} // namespace zibbles
