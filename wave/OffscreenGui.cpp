#include "wave/OffscreenGui.h"

OffscreenGui::OffscreenGui(char *program)
    : m_argv{program, m_option, m_platform, nullptr}, m_application(std::make_unique<QGuiApplication>(m_argc, m_argv))
{
}
