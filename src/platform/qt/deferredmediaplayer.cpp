#include "platform/mediaplayer.h"

#include "platform/soundmodule.h"

#include "core/error.h"

#include <QFileInfo>
#include <QLibrary>
#include <QString>

namespace zibbles {

namespace {

class DeferredMediaPlayer : public MediaPlayer {
public:
    explicit DeferredMediaPlayer(std::string modulePath) : m_modulePath(std::move(modulePath)) {}

    ~DeferredMediaPlayer() override
    {
        // The backend's code lives in the module: destroy it before unloading.
        m_backend.reset();
    }

    bool isPlaying() override { return m_backend && m_isOpen && m_backend->isPlaying(); }
    std::string fileName() const override { return m_fileName; }
    void setFileName(const std::string &path) override { m_fileName = path; }

    void close() override
    {
        if (m_backend)
            m_backend->close();
        m_isOpen = false;
    }

    void open() override
    {
        close();
        if (!backend().open(m_fileName))
            throw AppError(formatMessage("Cannot open sound %s", m_fileName));
        m_isOpen = true;
    }

    void play() override
    {
        if (!m_isOpen || !backend().play())
            throw AppError(formatMessage("Cannot play sound %s", m_fileName));
    }

private:
    SoundBackend &backend()
    {
        if (m_backend)
            return *m_backend;
        if (!m_library.isLoaded()) {
            m_library.setFileName(QString::fromStdString(m_modulePath));
            if (!m_library.load())
                throw AppError(formatMessage("Sound support is not available: %s",
                                             m_library.errorString().toStdString()));
        }
        auto create = reinterpret_cast<CreateSoundBackendFn>(m_library.resolve(kCreateSoundBackendSymbol));
        if (!create || !(m_backend = std::unique_ptr<SoundBackend>(create())))
            throw AppError(formatMessage("Sound support is not available: %s", m_modulePath));
        return *m_backend;
    }

    std::string m_modulePath;
    std::string m_fileName;
    bool m_isOpen = false;
    // Declared before the backend so that the module outlives it.
    QLibrary m_library;
    std::unique_ptr<SoundBackend> m_backend;
};

} // namespace

std::unique_ptr<MediaPlayer> createDeferredMediaPlayer(const std::string &modulePath)
{
    return std::make_unique<DeferredMediaPlayer>(modulePath);
}

std::string defaultSoundModulePath(const std::string &programFolder)
{
    const std::string beside = programFolder + "libzibbles_sound.so";
    const std::string installed = programFolder + "../lib/zibbles/libzibbles_sound.so";
    return !QFileInfo::exists(QString::fromStdString(beside)) && QFileInfo::exists(QString::fromStdString(installed))
               ? installed
               : beside;
}

} // namespace zibbles
