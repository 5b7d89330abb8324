#pragma once

#include "ui/tooltipwindowsystem.h"

#include <QByteArray>
#include <QList>

// Records what a tooltip asks of the window system, decoding each message's payload the
// way the real window would read it at the time of the call.
class RecordingTooltipSystem : public TooltipWindowSystem
{
public:
    struct Message
    {
        TooltipApi::WindowHandle window = 0;
        std::uint32_t message = 0;
        std::uintptr_t wParam = 0;
        std::intptr_t lParam = 0;
        TooltipApi::ToolInfo tool; // TTM_ADDTOOLA, TTM_UPDATETIPTEXTA
        QByteArray text;           // the tool's text, or the title of TTM_SETTITLEA
    };

    int initCount = 0;
    QList<TooltipApi::CreateWindowParams> created;
    QList<Message> messages;
    QList<TooltipApi::WindowHandle> destroyed;
    TooltipApi::WindowHandle nextHandle = 0x1000;

    void initCommonControls() override { ++initCount; }
    TooltipApi::ModuleHandle moduleInstance() const override { return 0x400000; }

    TooltipApi::WindowHandle createWindow(const TooltipApi::CreateWindowParams &params) override
    {
        created.append(params);
        return nextHandle++;
    }

    std::intptr_t sendMessage(TooltipApi::WindowHandle window, std::uint32_t message,
                              std::uintptr_t wParam, std::intptr_t lParam) override
    {
        Message m{window, message, wParam, lParam, {}, {}};
        if (message == TooltipApi::TTM_ADDTOOLA || message == TooltipApi::TTM_UPDATETIPTEXTA) {
            m.tool = *reinterpret_cast<const TooltipApi::ToolInfo *>(lParam);
            m.text = QByteArray(m.tool.lpszText);
        } else if (message == TooltipApi::TTM_SETTITLEA) {
            m.text = QByteArray(reinterpret_cast<const char *>(lParam));
        }
        messages.append(m);
        return 1;
    }

    bool destroyWindow(TooltipApi::WindowHandle window) override
    {
        destroyed.append(window);
        return true;
    }

    QList<std::uint32_t> messageNumbers() const
    {
        QList<std::uint32_t> numbers;
        for (const Message &m : messages)
            numbers.append(m.message);
        return numbers;
    }

    void clear() { created.clear(), messages.clear(), destroyed.clear(); }
};
