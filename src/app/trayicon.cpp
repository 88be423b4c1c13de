#include "trayicon.h"

#include "mainform.h"
#include "picture.h"
#include "traymenu.h"

#include "core/handlerguard.h"

#include <QActionGroup>
#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>

namespace zibbles {

namespace {
QIcon trayPicture(int index)
{
    return pictureIcon(index == 0 ? QStringLiteral("tray-enabled") : QStringLiteral("tray-disabled"));
}
} // namespace

TrayIcon::TrayIcon(TMainForm *form)
    : QObject(form)
    , isAvailable(&QSystemTrayIcon::isSystemTrayAvailable)
    , m_menu(new QMenu)
    , m_icon(new QSystemTrayIcon(this))
{
    m_menu->addAction(menuPicture("show"), QStringLiteral("Show Main Window"), form, [form] { form->RestoreFromTray(); });
    m_menu->addSeparator();
    // A radio pair whose check mark follows the state.
    auto *programState = new QActionGroup(this);
    m_enabledItem = m_menu->addAction(QStringLiteral("Enabled Program"), form,
                                      [form] { runGuarded([form] { form->EnableProgram(); }); });
    m_disabledItem = m_menu->addAction(QStringLiteral("Disabled Program"), form, [form] { form->DisableProgram(); });
    for (QAction *item : {m_enabledItem, m_disabledItem}) {
        item->setCheckable(true);
        programState->addAction(item);
    }
    m_menu->addSeparator();
    addTrayLinks(m_menu, *form->services().store);
    m_menu->addAction(menuPicture("exit"), QStringLiteral("Exit"), form,
                      [form] { runGuarded([form] { form->Exit1Click(); }); });

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
    m_enabledItem->setChecked(index == 0);
    m_disabledItem->setChecked(index == 1);
    m_icon->setIcon(trayPicture(index));
}

} // namespace zibbles
