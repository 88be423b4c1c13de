#include "trayicon.h"

#include "mainform.h"

#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>

namespace zibbles {

namespace {
QIcon trayPicture(int index)
{
    return QIcon(index == 0 ? QStringLiteral(":/pictures/tray-enabled.svg")
                            : QStringLiteral(":/pictures/tray-disabled.svg"));
}
} // namespace

TrayIcon::TrayIcon(TMainForm *form) : QObject(form), m_menu(new QMenu), m_icon(new QSystemTrayIcon(this))
{
    m_menu->addAction(QStringLiteral("Show Main Window"), form, [form] { form->RestoreFromTray(); });
    m_menu->addSeparator();
    m_menu->addAction(QStringLiteral("Exit"), form, [form] { form->Exit1Click(); });

    m_icon->setToolTip(QStringLiteral("Zibbles! Right click this icon for more options."));
    m_icon->setContextMenu(m_menu);
    connect(m_icon, &QSystemTrayIcon::activated, form, [form](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::DoubleClick)
            form->RestoreFromTray();
    });
    showIcon(0);
    m_icon->show();
}

TrayIcon::~TrayIcon()
{
    delete m_menu;
}

void TrayIcon::showIcon(int index)
{
    m_shown = index;
    m_icon->setIcon(trayPicture(index));
}

} // namespace zibbles
