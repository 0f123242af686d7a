#include "wave/OffscreenGui.h"

namespace {

std::unique_ptr<QTemporaryDir> runtimeFolderIfMissing()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return nullptr;
    auto folder = std::make_unique<QTemporaryDir>(); // made with mode 0700, as the folder must be
    if (!folder->isValid())
        return nullptr; // Qt then picks its own fallback, with its warning
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder->path()));
    return folder;
}

} // namespace

OffscreenGui::OffscreenGui(char *program)
    : m_argv{program, m_option, m_platform, nullptr}, m_runtimeFolder(runtimeFolderIfMissing()),
      m_application(std::make_unique<QGuiApplication>(m_argc, m_argv))
{
}
