#include "persistence/WindowRestorationInfo.h"

WindowRestorationInfo::WindowRestorationInfo(WindowId windowId) : m_windowId(windowId) {}

WindowRestorationInfo::~WindowRestorationInfo() = default;

WindowRestorationInfo::WindowId WindowRestorationInfo::getWindowId() const
{
    return m_windowId;
}

void WindowRestorationInfo::setWindowId(WindowId windowId)
{
    m_windowId = windowId;
}

QList<QVariant> WindowRestorationInfo::getRestorationParameters() const
{
    return {};
}

bool WindowRestorationInfo::isToolWindowId(int id)
{
    return id >= FirstToolWindowId && id <= LastToolWindowId;
}
