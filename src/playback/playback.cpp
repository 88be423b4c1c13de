#include "playback.h"

#include "chatoutput.h"
#include "nodesktop.h"
#include "scriptrunner.h"
#include "sendkeys.h"
#include "sleepmode.h"

#include "platform/mediaplayer.h"

namespace zibbles {

Playback::Playback(MainState &state, Timer &waitTimer, const PlaybackServices &services)
{
    Desktop *desktop = services.desktop;
    if (!desktop) {
        m_ownDesktop = std::make_unique<NoDesktop>();
        desktop = m_ownDesktop.get();
    }
    m_player = services.player;
    if (!m_player) {
        m_ownPlayer = createDeferredMediaPlayer(services.soundModule);
        m_player = m_ownPlayer.get();
    }
    m_sendkeys = std::make_unique<TSendkeys>(*desktop, *services.pump);
    m_chat = std::make_unique<ChatOutput>(*m_sendkeys, *services.pump, *services.settings);
    m_runner = std::make_unique<ScriptRunner>(state, waitTimer, *services.pump, *m_player, *m_chat);
    m_sleep = std::make_unique<SleepMode>(state, *m_chat, *services.timers);
}

Playback::~Playback() = default;

} // namespace zibbles
