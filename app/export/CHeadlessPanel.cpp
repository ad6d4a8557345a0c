// Creates the panel on the manual mixer for offline rendering.
#include "app/export/CHeadlessPanel.h"

#include "audio/CSoundStream.h"
#include "panel/CCorvaneFormView.h"

#include <string>

CHeadlessPanel::CHeadlessPanel() = default;

CHeadlessPanel::~CHeadlessPanel()
{
    m_pPanel.reset();
    if (m_pDevice != nullptr) {
        m_pDevice->Release();
    }
}

bool CHeadlessPanel::Create(int rate, int channels, QString* pError)
{
    using namespace corvane::platform;
    // The segment bookkeeping of streams is program-wide; a new render starts as a new program.
    CSoundStream::ResetStreamingState();

    // The panel's device asks COM for DirectSound; hand it a manual mixer, whatever
    // CORVANE_AUDIO says, and keep a reference to pull from.
    IDirectSound* device = nullptr;
    SetDirectSoundFactory([&device]() -> IDirectSound* {
        device = CreateMixerDevice(AudioBackend::Manual);
        if (device != nullptr) {
            device->AddRef();
        }
        return device;
    });
    std::string failure;
    m_pPanel = std::make_unique<CCorvaneFormView>();
    m_pPanel->SetMessageBoxHandler([&failure](const std::string& text, const std::string&) { failure = text; });
    m_pPanel->OnInitialUpdate();
    SetDirectSoundFactory({});
    m_pDevice = device;

    if (m_pDevice == nullptr || m_pPanel->GetStream() == nullptr) {
        QString reason = QString::fromStdString(failure).simplified();
        *pError = QStringLiteral("corvane: the sound mixer did not start%1")
                      .arg(reason.isEmpty() ? QString() : QStringLiteral(": ") + reason);
        return false;
    }
    if (FAILED(SetManualOutputFormat(m_pDevice, static_cast<DWORD>(rate), static_cast<WORD>(channels)))) {
        *pError = QStringLiteral("corvane: the mixer cannot mix %1 Hz with %2 channel(s)").arg(rate).arg(channels);
        return false;
    }
    return true;
}
