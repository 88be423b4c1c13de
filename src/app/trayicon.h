#pragma once
// The notification-area icon and its menu.
#include <QObject>

#include <functional>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace zibbles {

class TMainForm;

class TrayIcon : public QObject {
    Q_OBJECT
public:
    explicit TrayIcon(TMainForm *form);
    ~TrayIcon() override;

    QMenu *menu() const { return m_menu; }
    QSystemTrayIcon *icon() const { return m_icon; }
    // 0: the program is enabled, 1: disabled.
    void showIcon(int index);
    int shownIcon() const { return m_shown; }
    QAction *enabledItem() const { return m_enabledItem; }
    // Whether the desktop has a notification area to show the icon in.
    bool available() const { return isAvailable(); }
    std::function<bool()> isAvailable;
    QAction *disabledItem() const { return m_disabledItem; }

private:
    QMenu *m_menu;
    QSystemTrayIcon *m_icon;
    int m_shown = 0;
    QAction *m_enabledItem = nullptr;
    QAction *m_disabledItem = nullptr;
};

} // namespace zibbles
