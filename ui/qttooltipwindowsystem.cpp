#include "ui/qttooltipwindowsystem.h"

#include "ui/tipwindow.h"

#include <QCoreApplication>
#include <QWidget>

using namespace TooltipApi;

namespace {
QColor fromColorRef(std::uintptr_t value)
{
    return QColor(int(value & 0xff), int((value >> 8) & 0xff), int((value >> 16) & 0xff));
}
} // namespace

TooltipWindowSystem &TooltipWindowSystem::instance()
{
    static QtTooltipWindowSystem system;
    return system;
}

QtTooltipWindowSystem::QtTooltipWindowSystem() = default;

QtTooltipWindowSystem::~QtTooltipWindowSystem()
{
    // The program-wide instance may outlive the application object; widgets must not.
    if (!QCoreApplication::instance())
        return;
    for (const QPointer<TipWindow> &window : std::as_const(m_windows))
        delete window.data();
}

namespace {
// Widgets handed out as handles; a handle whose widget is gone resolves to nothing.
QHash<WindowHandle, QPointer<QWidget>> &knownWidgets()
{
    static QHash<WindowHandle, QPointer<QWidget>> widgets;
    return widgets;
}
} // namespace

WindowHandle QtTooltipWindowSystem::handleOf(QWidget *widget)
{
    if (!widget)
        return 0;
    const auto handle = reinterpret_cast<WindowHandle>(widget);
    knownWidgets().insert(handle, widget);
    return handle;
}

QWidget *QtTooltipWindowSystem::widgetOf(WindowHandle handle)
{
    const auto it = knownWidgets().constFind(handle);
    return it == knownWidgets().constEnd() ? nullptr : it->data();
}

ModuleHandle QtTooltipWindowSystem::moduleInstance() const
{
    return 1;
}

WindowHandle QtTooltipWindowSystem::createWindow(const CreateWindowParams &params)
{
    if (params.className != TooltipClassName)
        return 0;
    auto *window = new TipWindow((params.style & TTS_BALLOON) != 0);
    const WindowHandle handle = reinterpret_cast<WindowHandle>(window);
    m_windows.insert(handle, window);
    return handle;
}

std::intptr_t QtTooltipWindowSystem::sendMessage(WindowHandle handle, std::uint32_t message,
                                                 std::uintptr_t wParam, std::intptr_t lParam)
{
    TipWindow *window = tipWindow(handle);
    if (!window)
        return 0;
    switch (message) {
    case TTM_ADDTOOLA:
    case TTM_UPDATETIPTEXTA: {
        const auto *info = reinterpret_cast<const ToolInfo *>(lParam);
        if (!info)
            return 0;
        if (message == TTM_ADDTOOLA)
            window->setTool(widgetOf(info->uId), (info->uFlags & TTF_CENTERTIP) != 0);
        window->setText(info->lpszText ? QString::fromLatin1(info->lpszText) : QString());
        return 1;
    }
    case TTM_SETTITLEA: {
        const auto *title = reinterpret_cast<const char *>(lParam);
        window->setTitle(int(wParam), title ? QString::fromLatin1(title) : QString());
        return 1;
    }
    case TTM_SETTIPTEXTCOLOR:
        window->setTextColor(fromColorRef(wParam));
        return 0;
    case TTM_SETTIPBKCOLOR:
        window->setBackgroundColor(fromColorRef(wParam));
        return 0;
    case TTM_SETDELAYTIME:
        if (wParam == TTDT_AUTOPOP)
            window->setAutoPopTime(int(lParam));
        else if (wParam == TTDT_INITIAL)
            window->setInitialTime(int(lParam));
        return 0;
    default:
        return 0;
    }
}

bool QtTooltipWindowSystem::destroyWindow(WindowHandle handle)
{
    const QPointer<TipWindow> window = m_windows.take(handle);
    if (!window)
        return false;
    delete window.data();
    return true;
}

TipWindow *QtTooltipWindowSystem::tipWindow(WindowHandle handle) const
{
    return m_windows.value(handle).data();
}
