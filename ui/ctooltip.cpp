#include "ui/ctooltip.h"

#include "ui/qttooltipwindowsystem.h"

using namespace TooltipApi;

namespace {
// Texts travel to the window as ANSI strings: Latin-1, unmappable characters as '?'.
std::string ansi(const QString &text)
{
    return text.toLatin1().toStdString();
}
} // namespace

CTooltip::CTooltip(TooltipWindowSystem *system)
    : m_system(system ? *system : TooltipWindowSystem::instance())
{
    m_system.initCommonControls();
}

CTooltip::~CTooltip()
{
    Destroy();
}

bool CTooltip::Create(WindowHandle ParentHwnd)
{
    Destroy();
    m_parent = ParentHwnd;

    std::uint32_t style = TTS_ALWAYSTIP | TTS_NOPREFIX;
    if (m_style == 1)
        style |= TTS_BALLOON;

    CreateWindowParams params;
    params.className = TooltipClassName;
    params.style = style;
    params.x = params.y = params.width = params.height = CW_USEDEFAULT;
    params.instance = m_system.moduleInstance();
    m_hwnd = m_system.createWindow(params);

    m_tipTextAnsi = ansi(m_tipText);
    m_toolInfo = ToolInfo{};
    m_toolInfo.cbSize = ToolInfoSize;
    m_toolInfo.uFlags = TTF_IDISHWND | TTF_SUBCLASS | (m_centered ? TTF_CENTERTIP : 0);
    m_toolInfo.hwnd = ParentHwnd;
    m_toolInfo.uId = ParentHwnd;
    m_toolInfo.hinst = m_system.moduleInstance();
    m_toolInfo.lpszText = m_tipTextAnsi.c_str();
    m_system.sendMessage(m_hwnd, TTM_ADDTOOLA, 0, reinterpret_cast<std::intptr_t>(&m_toolInfo));

    if (!m_title.isEmpty() || m_icon != 0)
        sendTitle();
    if (m_foreColor != 0)
        m_system.sendMessage(m_hwnd, TTM_SETTIPTEXTCOLOR, m_foreColor, 0);
    if (m_backColor != 0)
        m_system.sendMessage(m_hwnd, TTM_SETTIPBKCOLOR, m_backColor, 0);
    m_system.sendMessage(m_hwnd, TTM_SETDELAYTIME, TTDT_AUTOPOP, m_visibleTime);
    m_system.sendMessage(m_hwnd, TTM_SETDELAYTIME, TTDT_INITIAL, m_delayTime);
    return false;
}

bool CTooltip::Create(QWidget *parent)
{
    return Create(QtTooltipWindowSystem::handleOf(parent));
}

void CTooltip::Destroy()
{
    if (m_hwnd == 0)
        return;
    m_system.destroyWindow(m_hwnd);
    m_hwnd = 0;
}

void CTooltip::setIcon(std::int32_t icon)
{
    m_icon = icon;
    if (!m_title.isEmpty() && m_hwnd != 0 && icon != 0)
        sendTitle();
}

void CTooltip::setForeColor(ColorRef color)
{
    m_foreColor = color;
    if (m_hwnd != 0)
        m_system.sendMessage(m_hwnd, TTM_SETTIPTEXTCOLOR, color, 0);
}

void CTooltip::setBackColor(ColorRef color)
{
    m_backColor = color;
    if (m_hwnd != 0)
        m_system.sendMessage(m_hwnd, TTM_SETTIPBKCOLOR, color, 0);
}

void CTooltip::setTitle(const QString &title)
{
    m_title = title;
    if (!title.isEmpty() && m_hwnd != 0 && m_icon != 0)
        sendTitle();
}

void CTooltip::setTipText(const QString &text)
{
    m_tipText = text;
    m_tipTextAnsi = ansi(text);
    m_toolInfo.lpszText = m_tipTextAnsi.c_str();
    if (m_hwnd != 0)
        m_system.sendMessage(m_hwnd, TTM_UPDATETIPTEXTA, 0,
                             reinterpret_cast<std::intptr_t>(&m_toolInfo));
}

void CTooltip::sendTitle()
{
    m_titleAnsi = ansi(m_title);
    m_system.sendMessage(m_hwnd, TTM_SETTITLEA, std::uintptr_t(m_icon),
                         reinterpret_cast<std::intptr_t>(m_titleAnsi.c_str()));
}
