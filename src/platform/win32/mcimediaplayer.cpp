// Sounds through the system's multimedia commands: the device is opened by
// the file's name (the system picks it by the extension, so .wav and .mp3
// both play), played with a notification to the hidden window, asked for its
// mode, and closed.
#include "platform/mediaplayer.h"

#include "notifywindow.h"
#include "widepath.h"

#include "core/error.h"

#include <mmsystem.h>

namespace zibbles {

namespace {

class MciMediaPlayer : public MediaPlayer {
public:
    MciMediaPlayer() = default;
    ~MciMediaPlayer() override { close(); }
    MciMediaPlayer(const MciMediaPlayer &) = delete;
    MciMediaPlayer &operator=(const MciMediaPlayer &) = delete;

    bool isPlaying() override
    {
        if (!m_device)
            return false;
        MCI_STATUS_PARMS status{};
        status.dwItem = MCI_STATUS_MODE;
        if (mciSendCommandW(m_device, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, DWORD_PTR(&status)) != 0)
            return false;
        return status.dwReturn == MCI_MODE_PLAY;
    }

    std::string fileName() const override { return m_fileName; }
    void setFileName(const std::string &path) override { m_fileName = path; }

    void close() override
    {
        if (!m_device)
            return;
        mciSendCommandW(m_device, MCI_CLOSE, MCI_WAIT, 0);
        m_device = 0;
    }

    void open() override
    {
        close();
        // The program's paths are UTF-8: the wide command takes any of them.
        const std::wstring element = widePath(m_fileName);
        MCI_OPEN_PARMSW request{};
        request.lpstrElementName = element.c_str();
        if (m_fileName.empty() ||
            mciSendCommandW(0, MCI_OPEN, MCI_OPEN_ELEMENT | MCI_WAIT, DWORD_PTR(&request)) != 0)
            throw AppError(formatMessage("Cannot open sound %s", m_fileName));
        m_device = request.wDeviceID;
    }

    void play() override
    {
        MCI_PLAY_PARMS request{};
        request.dwCallback = DWORD_PTR(notifyWindow());
        if (!m_device || mciSendCommandW(m_device, MCI_PLAY, MCI_NOTIFY, DWORD_PTR(&request)) != 0)
            throw AppError(formatMessage("Cannot play sound %s", m_fileName));
    }

private:
    std::string m_fileName;
    MCIDEVICEID m_device = 0;
};

} // namespace

// Windows plays sounds itself: no module is loaded, and none is named.
std::unique_ptr<MediaPlayer> createDeferredMediaPlayer(const std::string &)
{
    return std::make_unique<MciMediaPlayer>();
}

std::string defaultSoundModulePath(const std::string &)
{
    return {};
}

} // namespace zibbles
