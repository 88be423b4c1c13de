// The sound module: plays through Qt Multimedia. Built as a shared module of
// its own so that the program loads the multimedia libraries only when the
// first sound is played.
#include "platform/soundmodule.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>

namespace zibbles {

namespace {

class QtSoundBackend : public SoundBackend {
public:
    QtSoundBackend() { m_player.setAudioOutput(&m_output); }

    bool open(const std::string &path) override
    {
        const QString file = QString::fromUtf8(path.data(), qsizetype(path.size()));
        const QFileInfo info(file);
        if (!info.isFile() || !info.isReadable())
            return false;
        m_player.setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
        return true;
    }

    bool play() override
    {
        if (m_player.source().isEmpty())
            return false;
        m_player.play();
        return true;
    }

    void close() override
    {
        m_player.stop();
        m_player.setSource(QUrl());
    }

    bool isPlaying() const override { return m_player.playbackState() == QMediaPlayer::PlayingState; }

private:
    QAudioOutput m_output;
    QMediaPlayer m_player;
};

} // namespace

} // namespace zibbles

extern "C" Q_DECL_EXPORT zibbles::SoundBackend *zibblesCreateSoundBackend()
{
    return new zibbles::QtSoundBackend;
}
